// The failure-injection hook's state: one armed call and a countdown.
#include "fault.h"

namespace {

struct FaultState {
  FaultCall call = FaultCall::ChDir;
  long remaining = 0;
  bool triggered = false;
};

FaultState state;

}  // namespace

void faultArm(FaultCall call, long nth) {
  state.call = call;
  state.remaining = nth < 0 ? 0 : nth;
  state.triggered = false;
}

void faultDisarm() {
  state.remaining = 0;
  state.triggered = false;
}

bool faultTriggered() { return state.triggered; }

bool faultShouldFail(FaultCall call) {
  if (state.remaining == 0 || call != state.call) return false;
  if (--state.remaining != 0) return false;
  state.triggered = true;
  return true;
}
