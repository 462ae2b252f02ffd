// A plan written out: tab-separated lines for people and scripts, or one
// JSON document for pipelines.
#pragma once

#include <string>

#include "plan.h"

// One line per action, "VERB<TAB>PATH" or "VERB<TAB>PATH<TAB>REASON", then
// "note<TAB>TEXT"; control bytes shown as visibleText shows them. Empty
// when the uninstaller would not run.
std::string planText(const Plan& plan);

// The plan as one JSON document on one line:
// {"runs":..,"installDir":..,"startMenuFolder":..,"manifests":..,
//  "actions":[{"verb":..,"path":..[,"reason":..]},..],"note":..}
// with every string as jsonString writes it (bytes as Latin-1 characters).
std::string planJson(const Plan& plan);
