#!/usr/bin/perl
# Prints the paragraphs of roff manual pages as records: "page(section) N",
# "\037", the paragraph's text, "\036". Requests that start a paragraph or a
# section part paragraphs; font requests keep their arguments as text; other
# requests, comments and escapes are dropped. Pages that only include another
# (.so) give nothing; paragraphs of fewer than eight words are left out.
#
#   man_paragraphs.pl FILE.gz...
use strict;
use warnings;

$/ = "\n";
for my $file (@ARGV) {
  open(my $in, '-|', 'zcat', '--', $file) or next;
  my ($page) = $file =~ m{([^/]+)\.gz$};
  $page =~ s/\.(\w+)$/($1)/;
  my ($count, @lines) = (0);
  my $flush = sub {
    my $text = join(' ', @lines);
    @lines = ();
    $text =~ s/\s+/ /g;
    $text =~ s/^ | $//g;
    my $words = () = $text =~ /\w{2,}/g;
    return if $words < 8;
    $count++;
    print "$page $count\037$text\036";
  };
  while (my $line = <$in>) {
    chomp $line;
    $line =~ s/\\".*//;                       # comment
    if ($line =~ /^[.']\s*(\w+)\s*(.*)/) {
      my ($request, $arguments) = ($1, $2);
      if ($request =~ /^(SH|SS|PP|P|LP|TP|IP|HP|sp|Sh|Ss|Pp|TH)$/) { $flush->(); next }
      next unless $request =~ /^(B|I|R|BR|BI|IB|IR|RB|RI|SM|SB)$/;
      $arguments =~ s/"//g;
      $line = $arguments;
    } elsif ($line =~ /^[.']/) {
      next;
    }
    if ($line eq '') { $flush->(); next }
    $line =~ s/\\f(?:\(..|\[[^\]]*\]|.)//g;    # font changes
    $line =~ s/\\[-]/-/g;
    $line =~ s/\\\((?:em|en)/-/g;
    $line =~ s/\\(?:\(..|\[[^\]]*\]|\*(?:\(..|\[[^\]]*\]|.)|[&,\/|^:%])//g;
    $line =~ s/\\e/\\/g;
    $line =~ s/\\(.)/$1/g;
    push @lines, $line;
  }
  $flush->();
  close($in);
}
