// Text and JSON forms of a plan.
#include "plan_output.h"

#include "text_escape.h"

std::string planText(const Plan& plan) {
  if (!plan.runs) return std::string();
  std::string out;
  for (const PlanAction& action : plan.actions) {
    out += action.verb;
    out += '\t';
    out += visibleText(action.path);
    if (!action.reason.empty()) {
      out += '\t';
      out += visibleText(action.reason);
    }
    out += '\n';
  }
  out += "note\t" + visibleText(plan.note) + "\n";
  return out;
}

std::string planJson(const Plan& plan) {
  std::string out = "{\"runs\":";
  out += plan.runs ? "true" : "false";
  out += ",\"installDir\":" + jsonString(plan.installDir);
  out += ",\"startMenuFolder\":" + jsonString(plan.startMenuFolder);
  out += ",\"manifests\":" + std::to_string(plan.manifests);
  out += ",\"actions\":[";
  for (size_t i = 0; i < plan.actions.size(); ++i) {
    const PlanAction& action = plan.actions[i];
    if (i) out += ',';
    out += "{\"verb\":" + jsonString(action.verb) + ",\"path\":" + jsonString(action.path);
    if (!action.reason.empty()) out += ",\"reason\":" + jsonString(action.reason);
    out += '}';
  }
  out += "],\"note\":" + jsonString(plan.note) + "}\n";
  return out;
}
