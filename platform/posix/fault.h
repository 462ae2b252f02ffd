// Failure injection for tests: makes the Nth call of one platform operation
// fail, cleanly and as the real platform would report it.
#pragma once

enum class FaultCall {
  ChDir,
  GetCwd,
  FindFirstFile,
  FindNextFile,
  GzOpen,
  RegOpenKey,
  RegQueryValue,
  HeapAlloc,
};

// Arms a failure: the `nth` call (counting from 1) of `call` from now on
// fails, and so do the `count`-1 calls of it that follow. Any earlier
// arming is replaced. `nth` of 0 disarms.
void faultArm(FaultCall call, long nth, long count = 1);

// Disarms and forgets whether a failure happened.
void faultDisarm();

// True once the armed failure has been delivered.
bool faultTriggered();

// Called by the platform layer at the start of each hookable operation.
// Returns true when this call must fail.
bool faultShouldFail(FaultCall call);
