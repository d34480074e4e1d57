// vexa's exit statuses, as `vexa --help` lists them.
#pragma once

namespace vexa::inspector {

constexpr int kExitDone = 0;
constexpr int kExitFault = 1;  // the module and the explanation disagree; list entries never found; index problems
constexpr int kExitUsage = 2;
constexpr int kExitNoDirectory = 3;
constexpr int kExitUnreadableText = 4;
constexpr int kExitModuleFailed = 5;
constexpr int kExitFirebirdFailed = 6;
constexpr int kExitNoIndex = 7;
constexpr int kExitNoFirebirdClient = 8;

}  // namespace vexa::inspector
