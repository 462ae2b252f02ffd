// The failure-injection hook's state: one armed call, a countdown to the
// first failure and how many fail in a row.
#include "fault.h"

namespace {

struct FaultState {
  FaultCall call = FaultCall::ChDir;
  long remaining = 0;
  long failing = 0;
  bool triggered = false;
};

FaultState state;

}  // namespace

void faultArm(FaultCall call, long nth, long count) {
  state.call = call;
  state.remaining = nth < 0 ? 0 : nth;
  state.failing = count < 1 ? 1 : count;
  state.triggered = false;
}

void faultDisarm() {
  state.remaining = 0;
  state.triggered = false;
}

bool faultTriggered() { return state.triggered; }

bool faultShouldFail(FaultCall call) {
  if (state.remaining == 0 || call != state.call) return false;
  if (state.remaining > 1) {
    --state.remaining;
    return false;
  }
  // The first failure and those that follow it in a row.
  state.triggered = true;
  if (--state.failing == 0) state.remaining = 0;
  return true;
}
