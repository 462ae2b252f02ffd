// The registry calls against the Linux layer's failure hook: a failed open
// or query comes out as access denied and changes nothing else.
#include <gtest/gtest.h>
#include <string.h>

#include "fault.h"
#include "platform.h"
#include "registry.h"
#include "scoped_reg_file.h"

namespace {
const char kFile[] =
    "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Software\\Quendrix\\Pellmoor]\r\n\"Install Dir\"=\"C:\\\\G\"\r\n";
}  // namespace

TEST(RegistryFault, OpenFailsAsAccessDenied) {
  ScopedRegFile file(kFile);
  size_t openBefore = registryOpenKeyCount();
  HKEY software = nullptr, publisher = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x1234));
  faultArm(FaultCall::RegOpenKey, 2);
  ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software", &software), 0);
  EXPECT_FALSE(faultTriggered());
  EXPECT_EQ(RegOpenKeyA(software, "Quendrix", &publisher), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(faultTriggered());
  EXPECT_EQ(publisher, nullptr);
  EXPECT_EQ(registryOpenKeyCount(), openBefore + 1);
  faultDisarm();
  ASSERT_EQ(RegOpenKeyA(software, "Quendrix", &publisher), 0);
  EXPECT_EQ(RegCloseKey(publisher), 0);
  EXPECT_EQ(RegCloseKey(software), 0);
  EXPECT_EQ(registryOpenKeyCount(), openBefore);
}

TEST(RegistryFault, QueryFailsAsAccessDeniedAndTouchesNothing) {
  ScopedRegFile file(kFile);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Quendrix\\Pellmoor", &key), 0);
  unsigned char buffer[128];
  memset(buffer, 0xCC, sizeof buffer);
  DWORD type = 0xEEEE, size = sizeof buffer;
  faultArm(FaultCall::RegQueryValue, 1);
  EXPECT_EQ(RegQueryValueExA(key, "Install Dir", nullptr, &type, buffer, &size), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(faultTriggered());
  EXPECT_EQ(type, 0xEEEEu);
  EXPECT_EQ(size, sizeof buffer);
  EXPECT_EQ(buffer[0], 0xCC);
  faultDisarm();
  EXPECT_EQ(RegQueryValueExA(key, "Install Dir", nullptr, &type, buffer, &size), 0);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(reinterpret_cast<char*>(buffer), "C:\\G");
  EXPECT_EQ(RegCloseKey(key), 0);
}
