// The help texts of rmptool and of each command.
#pragma once

extern const char* const kToolHelp;
extern const char* const kPlanHelp;
extern const char* const kCheckHelp;
extern const char* const kMakeHelp;
extern const char* const kEncodeHelp;
