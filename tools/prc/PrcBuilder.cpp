#include "prc/PrcBuilder.h"
#include <fstream>
#include <iterator>
#include "palm/Endian.h"
#include "palm/FourCC.h"
#include "prc/ElfImage.h"
#include "prc/StartupImage.h"

namespace {

constexpr UInt16 kDefaultPriority = 30;
constexpr UInt32 kDefaultHeapSize = 4096;

bool readFile(const std::string& path, std::vector<UInt8>& bytes, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

}  // namespace

std::vector<UInt8> MakePrefResource(UInt32 stackSize) {
  std::vector<UInt8> pref(10);
  set16(&pref[0], kDefaultPriority);
  set32(&pref[2], stackSize);
  set32(&pref[6], kDefaultHeapSize);
  return pref;
}

bool BuildPrc(const PrcBuildOptions& options, OpcodeServedPredicate served, PdbDatabase& db, std::string& error) {
  std::vector<UInt8> file;
  if (!readFile(options.elfPath, file, error)) return false;
  ElfImage elf;
  StartupImage image;
  if (!elf.load(file, error) || !BuildStartupImage(elf, served, image, error)) {
    error = options.elfPath + ": " + error;
    return false;
  }
  db = PdbDatabase{};
  db.name = options.name;
  db.attributes = PdbFormat::dmHdrAttrResDB;
  db.version = options.version;
  db.creationDate = db.modificationDate = options.date;
  db.type = options.type;
  db.creator = options.creator;
  db.resources.push_back({FourCCs::code, 0, image.code0});
  db.resources.push_back({FourCCs::code, 1, image.code1});
  db.resources.push_back({FourCCs::data, 0, image.data0});
  db.resources.push_back({FourCCs::pref, 0, MakePrefResource(options.stackSize)});
  for (const auto& raw : options.resources) {
    for (const PdbResource& r : db.resources) {
      if (r.type == raw.type && r.id == raw.id) {
        error = "resource " + raw.path + " duplicates one already in the database";
        return false;
      }
    }
    PdbResource r{raw.type, raw.id, {}};
    if (!readFile(raw.path, r.data, error)) return false;
    db.resources.push_back(std::move(r));
  }
  return true;
}
