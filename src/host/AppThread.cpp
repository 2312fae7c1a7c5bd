#include "host/AppThread.h"

#include "emulator/context/M68KGlobals.h"
#include "emulator/launch/AppGlobals.h"
#include "emulator/launch/LaunchOneShot.h"
#include "emulator/trap/TrapDispatcher.h"
#include "graphics/font.h"
#include "graphics/lcd/Lcd.h"
#include "graphics/uicolor.h"
#include "graphics/window.h"
#include "host/HostPaths.h"
#include "host/Reporting.h"
#include "palm/ErrorCodes.h"
#include "platform/Platform.h"
#include "sound/sound.h"
#include "storage/DATAMGR.h"
#include "storage/filestream.h"
#include "storage/loadsavedatabases.h"
#include "storage/memorymgr.h"
#include "storage/sharedlibraries.h"
#include "storage/vfs.h"
#include "system/AlarmMgr.h"
#include "system/EventMgr.h"
#include "system/PenMgr.h"
#include "system/Phone.h"
#include "system/StrTxt.h"
#include "system/SystemObj.h"
#include "system/keymgr.h"
#include "system/notify.h"
#include "storage/Feature.h"
#include "system/SystemTime.h"
#include "ui/Categories.h"
#include "ui/Controls.h"
#include "ui/Find.h"
#include "ui/GraffitiShift.h"
#include "ui/TimeZoneSelect.h"
#include "ui/datetimeselect.h"
#include "ui/form.h"
#include "ui/menu.h"

AppThread appThread;
std::atomic<SystemOutcome> AppThread::outcome_{SystemOutcome::Running};
std::atomic<Err> AppThread::launchError_{0};

namespace {

using Initializer = Boolean (*)();

// The managers' initialisers in the order they must run; each must succeed.
constexpr Initializer kInitializers[] = {
    NotifyInit,
    SystemObjInit,
    StrTxtInit,
    AlarmMgrInit,
    CategoriesInit,
    ControlsInit,
    DataMgrInit,
    DateTimeSelectInit,
    FileStreamInit,
    FindInit,
    FontInit,
    FormInit,
    GraffitiShiftInit,
    KeyMgrInit,
    MemoryMgrInit,
    AppInit,
    LcdInit,
    MenuInit,
    M68KInit,
    PenMgrInit,
    SharedLibrariesInit,
    TimeZoneSelectInit,
    UIColorInit,
    WindowInit,
    EventMgrInit,
    SoundInit,
    VfsInit,
    PhoneInit,
};

// The system's resource databases stay open for the life of the process.
void openSystemResources() {
  LocalID id = DmFindDatabase(0, "SystemResources");
  if (!id || !DmOpenDatabase(0, id, dmModeReadOnly))
    WarningF("Error: Initialization - Cannot find/open SystemResources.qvn");
  if (LocalID fonts = DmFindDatabase(0, "SystemFontResources")) DmOpenDatabase(0, fonts, dmModeReadOnly);
}

}  // namespace

SystemOutcome AppThread::outcome() { return outcome_; }

Err AppThread::launchError() { return launchError_; }

void AppThread::NewThread(void* parm) {
  markCurrentThreadAsAppThread(true);
  const char* name = parm ? static_cast<const char*>(parm) : kDefaultLaunchAppDbName;
  outcome_ = main(name);
  Platform::wakeMainLoop();
}

SystemOutcome AppThread::main(const char* dbName) {
  if (!InitializeSystem()) return SystemOutcome::StartupFailed;
  launchError_ = LaunchOneShot(0, dbName);
  const bool saved = ClosedownSystem();
  if (!saved) return SystemOutcome::SaveFailed;
  if (launchError_ == dmErrCantFind) return SystemOutcome::NothingToLaunch;
  return launchError_ ? SystemOutcome::LaunchFailed : SystemOutcome::Ran;
}

bool AppThread::InitializeSystem() {
  MessageNestingLevel = 2;
  for (Initializer init : kInitializers)
    if (!init()) return false;
  TrapDispatcher::Init();
  SystemTimeInit();
  CreateDatabaseDirectoryEntries(HostPaths::databases());
  if (!FeatureInit()) return false;
  openSystemResources();
  MessageNestingLevel = 0;
  CreateEmptyDatabases();
  return true;
}

void AppThread::CreateDatabaseDirectoryEntries(const std::string& dir) {
  InstallDatabaseFiles(dir);
  ::CreateDatabaseDirectoryEntries();
}

bool AppThread::ClosedownSystem() {
  MessageNestingLevel = 2;
  CloseFeatureDatabase();
  const bool saved = SaveDatabasesToFiles("close-down");
  MemTerminate();
  return saved;
}
