// The module's configuration as the UDR routines use it: the settings
// prefixes are read by (the configuration without its word filters), and the
// index's analyzer per way of cutting words (the database's character set).
#pragma once

#include "config/engine_settings.h"
#include "frame/udr/udr_module.h"
#include "index/text_analyzer.h"
#include "parser/word_cut.h"

namespace vexa::udr {

// The configuration without its word filters.
const TEngineSettings& PrefixSettings();

const index::TextAnalyzer& ModuleAnalyzer(TextEncoding encoding);

}  // namespace vexa::udr
