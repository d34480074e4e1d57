#!/usr/bin/perl
# Writes COUNT synthetic documents, records "synthetic N\037text\036", made
# from the real documents of the record files given: each is as many words
# long as a real document drawn at random, and each of its words is drawn at
# random from every word of every real document, so that a word comes up as
# often as it does in the real text (its unigram frequency). A word is what
# blanks part, with its case and punctuation, so that every system splits it
# as it splits the real text. The same files and seed give the same
# documents (perl's srand/rand are drand48).
#
#   synthetic_documents.pl COUNT SEED FILE...
use strict;
use warnings;

my ($count, $seed, @files) = @ARGV;
die "usage: synthetic_documents.pl COUNT SEED FILE...\n" unless defined $seed && @files;

# Every word in one string, each followed by a blank; where each one starts
# (and where one after the last would), and each document's length in words,
# 32 bits each: a few bytes a word rather than a perl scalar each.
my $words = '';
my $starts = '';
my $lengths = '';
my ($word_count, $document_count) = (0, 0);
{
  local $/ = "\036";
  for my $file (@files) {
    open(my $in, '<', $file) or die "$file: $!\n";
    while (my $record = <$in>) {
      chomp $record;
      $record =~ s/^[^\037]*\037//;
      my $length = 0;
      for my $word (split ' ', $record) {
        vec($starts, $word_count++, 32) = length($words);
        $words .= "$word ";
        ++$length;
      }
      vec($lengths, $document_count++, 32) = $length if $length > 0;
    }
  }
}
die "no words in @files\n" if $word_count == 0;
vec($starts, $word_count, 32) = length($words);

srand($seed);
for my $n (1 .. $count) {
  my $length = vec($lengths, int(rand($document_count)), 32);
  my @document;
  for (1 .. $length) {
    my $i = int(rand($word_count));
    my $start = vec($starts, $i, 32);
    push @document, substr($words, $start, vec($starts, $i + 1, 32) - $start - 1);
  }
  print "synthetic $n\037", join(' ', @document), "\036";
}
