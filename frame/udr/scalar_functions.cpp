// The stored functions FT_CRC and FT_SOUND_CODE.
//
//   FT_CRC(TXT BLOB SUB_TYPE TEXT) RETURNS INTEGER
//   FT_SOUND_CODE(WORD VARCHAR(255)) RETURNS INTEGER
#include <cstdint>
#include <string>

#include "frame/udr/blob_text.h"
#include "frame/udr/message_layout.h"
#include "frame/udr/module_analyzer.h"
#include "frame/udr/routine_error.h"

namespace vexa::udr {
namespace {

// Parser_CRC of a document parser fed TXT: -1 when it keeps no word. The
// parser lives for this call alone and takes no handle.
class CrcFunction : public Firebird::Udr::Function<CrcFunction, Status> {
 public:
  static constexpr const char* kName = "FT_CRC";

  void getCharSet(Status*, Firebird::IExternalContext*, char* name, unsigned nameSize) override {
    WorkInStoredCharacterSet(name, nameSize);
  }

  CrcFunction(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    declarationProblem_ = DeclarationProblem([&] {
      text_ = MessageLayout(status, metadata->getInputMetadata(status), 1).Blob(0);
      result_ = MessageLayout(status, metadata->getOutputMetadata(status), 1).Integer(0, SQL_LONG);
    });
  }

  void execute(Status* status, Firebird::IExternalContext* context, void* inMessage, void* outMessage) override {
    Guarded(status, kName, [&] {
      RefuseBadDeclaration(declarationProblem_);
      TParser parser(false, StartedConfiguration().settings);
      AddBlobText(status, context, static_cast<const unsigned char*>(inMessage), text_, parser);
      auto* out = static_cast<unsigned char*>(outMessage);
      SetNotNull(out, result_.nullOffset);
      PutInteger(out, result_, static_cast<std::int32_t>(parser.CRC()));
    });
  }

 private:
  std::string declarationProblem_;
  BlobField text_;
  IntegerField result_;
};

// StrSoundEX of WORD; a NULL word counts as an empty one, as the legacy
// function receives it.
class SoundCodeFunction : public Firebird::Udr::Function<SoundCodeFunction, Status> {
 public:
  static constexpr const char* kName = "FT_SOUND_CODE";

  void getCharSet(Status*, Firebird::IExternalContext*, char* name, unsigned nameSize) override {
    WorkInStoredCharacterSet(name, nameSize);
  }

  SoundCodeFunction(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    declarationProblem_ = DeclarationProblem([&] {
      const MessageLayout in(status, metadata->getInputMetadata(status), 1);
      word_ = in.Varchar(0, true);
      wordIsChar_ = in.IsChar(0);
      result_ = MessageLayout(status, metadata->getOutputMetadata(status), 1).Integer(0, SQL_LONG);
    });
  }

  void execute(Status* status, Firebird::IExternalContext*, void* inMessage, void* outMessage) override {
    Guarded(status, kName, [&] {
      RefuseBadDeclaration(declarationProblem_);
      const auto* in = static_cast<const unsigned char*>(inMessage);
      const ModuleConfiguration& configuration = StartedConfiguration();
      std::int32_t code;
      if (IsNull(in, word_.nullOffset)) {
        code = configuration.soundCoder->Code("");
      } else {
        code = configuration.soundCoder->Code(WordText(in).c_str());
      }
      auto* out = static_cast<unsigned char*>(outMessage);
      SetNotNull(out, result_.nullOffset);
      PutInteger(out, result_, code);
    });
  }

 private:
  std::string declarationProblem_;

  // The word's bytes as a NUL-terminated string: the text ends at a NUL.
  std::string WordText(const unsigned char* in) const {
    const auto* bytes = reinterpret_cast<const char*>(in + word_.offset);
    if (wordIsChar_) return std::string(bytes, word_.capacity);
    std::uint16_t length;
    std::memcpy(&length, bytes, sizeof length);
    return std::string(bytes + sizeof length, length);
  }

  TextField word_;
  bool wordIsChar_ = false;
  IntegerField result_;
};

Firebird::Udr::FunctionFactoryImpl<CrcFunction, Status> crcFactory("ft_crc");
Firebird::Udr::FunctionFactoryImpl<SoundCodeFunction, Status> soundCodeFactory("ft_sound_code");

}  // namespace
}  // namespace vexa::udr
