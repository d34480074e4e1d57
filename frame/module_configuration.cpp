#include "frame/module_configuration.h"

#include "config/configuration.h"
#include "platform/platform.h"

namespace vexa {

ModuleConfiguration::~ModuleConfiguration() {
  settings.filters.UnloadAll();
  settings.wordTable = TWordLookupTable();
}

void ReadModuleConfiguration(ModuleConfiguration& configuration) {
  configuration.directory = platform::DirectoryWithSeparator(platform::ModuleFileName());
  const std::string& directory = configuration.directory;
  if (!directory.empty()) {
    const TConfigFile config(directory + kConfigFileName);
    if (platform::IsExistingFile(config.Path())) {
      try {
        ReadConfiguration(config, directory, configuration.settings);
      } catch (...) {
        // Out of memory part-way: the module goes on with the settings made so far.
      }
    }
  }
  const TEngineSettings& settings = configuration.settings;
  configuration.soundCoder = std::make_unique<TSoundCoder>(settings.nationalLetters, settings.translationLetters);
}

}  // namespace vexa
