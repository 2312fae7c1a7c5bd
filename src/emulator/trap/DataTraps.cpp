// The Data Manager traps.
#include "emulator/trap/TrapDispatcher.h"
#include "host/Reporting.h"
#include "storage/DATAMGR.h"
#include "storage/quorvanefile.h"

namespace {

// "Launcher" is the system's launcher application under another name.
void serveDmFindDatabase(TrapArgs& a, const SystemTrapRow&) {
  UInt16 card = a.getStackWord(0);
  const Char* name = trapString(a.getStackAddr(2), "DmFindDatabase name");
  LocalID id = DmFindDatabase(card, name);
  if (id == 0 && std::string_view(name) == "Launcher") id = DmFindDatabase(card, "ZADezuze");
  a.setD0Long(id);
}

constexpr TrapBinding kBindings[] = {
    bindTrap<&DmCreateDatabase>(0xA041),
    bindTrap<&DmDeleteDatabase>(0xA042),
    bindTrap<&DmNumDatabases>(0xA043),
    bindTrap<&DmGetDatabase>(0xA044),
    bindHandler(0xA045, serveDmFindDatabase),
    bindTrap<&DmDatabaseInfo>(0xA046),
    bindTrap<&DmSetDatabaseInfo>(0xA047),
    bindTrap<&DmDatabaseSize>(0xA048),
    bindTrap<&DmOpenDatabase>(0xA049),
    bindTrap<&DmCloseDatabase>(0xA04A),
    bindTrap<&DmNextOpenDatabase>(0xA04B),
    bindTrap<&DmOpenDatabaseInfo>(0xA04C),
    bindTrap<&DmResetRecordStates>(0xA04D),
    bindTrap<&DmGetLastErr>(0xA04E),
    bindTrap<&DmNumRecords>(0xA04F),
    bindTrap<&DmRecordInfo>(0xA050),
    bindTrap<&DmSetRecordInfo>(0xA051),
    bindTrap<&DmAttachRecord>(0xA052),
    bindTrap<&DmDetachRecord>(0xA053),
    bindTrap<&DmMoveRecord>(0xA054),
    bindTrap<&DmNewRecord>(0xA055),
    bindTrap<&DmRemoveRecord>(0xA056),
    bindTrap<&DmDeleteRecord>(0xA057),
    bindTrap<&DmArchiveRecord>(0xA058),
    bindTrap<&DmNewHandle>(0xA059),
    bindTrap<&DmRemoveSecretRecords>(0xA05A),
    bindTrap<&DmQueryRecord>(0xA05B),
    bindTrap<&DmGetRecord>(0xA05C),
    bindTrap<&DmResizeRecord>(0xA05D),
    bindTrap<&DmReleaseRecord>(0xA05E),
    bindTrap<&DmGetResource>(0xA05F),
    bindTrap<&DmGet1Resource>(0xA060),
    bindTrap<&DmReleaseResource>(0xA061),
    bindTrap<&DmResizeResource>(0xA062),
    bindTrap<&DmNextOpenResDatabase>(0xA063),
    bindTrap<&DmFindResourceType>(0xA064),
    bindTrap<&DmFindResource>(0xA065),
    bindTrap<&DmSearchResource>(0xA066),
    bindTrap<&DmNumResources>(0xA067),
    bindTrap<&DmResourceInfo>(0xA068),
    bindTrap<&DmSetResourceInfo>(0xA069),
    bindTrap<&DmAttachResource>(0xA06A),
    bindTrap<&DmDetachResource>(0xA06B),
    bindTrap<&DmNewResource>(0xA06C),
    bindTrap<&DmRemoveResource>(0xA06D),
    bindTrap<&DmGetResourceIndex>(0xA06E),
    bindTrap<&DmQuickSort>(0xA06F),
    bindTrap<&DmQueryNextInCategory>(0xA070),
    bindTrap<&DmNumRecordsInCategory>(0xA071),
    bindTrap<&DmPositionInCategory>(0xA072),
    bindTrap<&DmSeekRecordInCategory>(0xA073),
    bindTrap<&DmMoveCategory>(0xA074),
    bindTrap<&DmOpenDatabaseByTypeCreator>(0xA075),
    bindTrap<&DmWrite>(0xA076),
    bindTrap<&DmStrCopy>(0xA077),
    bindTrap<&DmGetNextDatabaseByTypeCreator>(0xA078),
    bindTrap<&DmWriteCheck>(0xA079),
    bindTrap<&DmFindRecordByID>(0xA07B),
    bindTrap<&DmGetAppInfoID>(0xA07C),
    bindTrap<&DmFindSortPositionV10>(0xA07D),
    bindTrap<&DmSet>(0xA07E),
    bindTrap<&DmCreateDatabaseFromImage>(0xA07F),
};

}  // namespace

std::span<const TrapBinding> DataTrapBindings() { return kBindings; }
