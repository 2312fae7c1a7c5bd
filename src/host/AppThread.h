// The emulator thread: every Palm manager and all 68K code run on it. It
// brings the managers up in a fixed order, registers the databases of the
// databases directory, runs the application loop until the last application
// quits, then closes the system down, saving every changed database.
#pragma once
#include <atomic>
#include <string>

#include "host/Threads.h"
#include "palm/PalmTypes.h"

// How a run of the system ended.
enum class SystemOutcome {
  Running,          // not finished yet
  Ran,              // the start application ran; everything was saved
  NothingToLaunch,  // the system started and closed down; the start application does not exist
  LaunchFailed,     // the start application exists but could not be launched; the system closed down
  StartupFailed,    // a manager could not be started; nothing was saved
  SaveFailed,       // some changed database could not be written at close-down
};

class AppThread : public Thread {
 public:
  // The thread's entry: parm is the name of the start application, or null
  // for the default start application.
  static void NewThread(void* parm);
  static SystemOutcome main(const char* dbName);
  // True when the system is up and may run applications.
  static bool InitializeSystem();
  // Registers every database file of dir (loading none) and gives plain
  // .pdb and .prc files the system's own file names.
  static void CreateDatabaseDirectoryEntries(const std::string& dir);
  // False when some changed database could not be saved.
  static bool ClosedownSystem();

  // Set once the thread has finished; the main thread's loop watches it.
  static SystemOutcome outcome();
  // The error that stopped the start application's launch (LaunchFailed).
  static Err launchError();

 private:
  static std::atomic<SystemOutcome> outcome_;
  static std::atomic<Err> launchError_;
};

extern AppThread appThread;

// The start application when none is named.
constexpr const char* kDefaultLaunchAppDbName = "ZADezuze";
