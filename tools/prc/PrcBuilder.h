// Assembles a Palm resource database (.prc) from a linked application and
// raw resources given as files.
#pragma once
#include <string>
#include <vector>
#include "palm/PdbFormat.h"
#include "prc/InstructionScan.h"

struct PrcBuildOptions {
  std::string name;
  UInt32 type = 0;
  UInt32 creator = 0;
  UInt16 version = 1;
  UInt32 stackSize = 4096;
  UInt32 date = 0;  // Palm seconds since 1904, for all three dates
  std::string elfPath;
  struct RawResource {
    UInt32 type;
    UInt16 id;
    std::string path;
  };
  std::vector<RawResource> resources;
};

// 'pref' 0: priority, stack size and heap size as the launch reads them.
std::vector<UInt8> MakePrefResource(UInt32 stackSize);

bool BuildPrc(const PrcBuildOptions& options, OpcodeServedPredicate served, PdbDatabase& db, std::string& error);
