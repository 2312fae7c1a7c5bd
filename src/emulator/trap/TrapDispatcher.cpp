#include "emulator/trap/TrapDispatcher.h"
#include <array>
#include <mutex>
#include <unordered_map>
#include "emulator/float/FloatTraps.h"
#include "host/Reporting.h"

namespace TrapDispatcher {
namespace {

struct Served {
  const SystemTrapRow* row = nullptr;
  TrapServe serve = nullptr;
  TrapHandler handler = nullptr;  // handlers that need no row (the float traps)

  explicit operator bool() const { return serve || handler; }
  void operator()(TrapArgs& args) const {
    if (serve)
      serve(args, *row);
    else
      handler(args);
  }
};

struct Slot {
  SelectorSource source = SelectorSource::None;
  Served plain;
  std::unordered_map<UInt32, Served> selectors;
};

constexpr int kSlots = kLastTableTrap - kFirstTableTrap + 1;
std::array<Slot, kSlots> table;
std::once_flag built;

Slot* slotOf(UInt16 trap) {
  if (trap < kFirstTableTrap || trap > kLastTableTrap) return nullptr;
  return &table[trap - kFirstTableTrap];
}

void add(const TrapBinding& b) {
  const SystemTrapRow* row = FindSystemTrap(b.trap, b.selector);
  Slot* slot = slotOf(b.trap);
  if (!row || !slot) FatalF("Trap dispatcher: no table row for trap 0x%04hX selector %hu", b.trap, b.selector);
  if (b.matches && !b.matches(*row))
    FatalF("Trap dispatcher: %s (0x%04hX) does not fit its table row", row->name.data(), b.trap);
  Served served{row, b.serve, nullptr};
  if (row->source == SelectorSource::None)
    slot->plain = served;
  else
    slot->selectors[b.selector] = served;
}

void build() {
  for (const TrapDispatcherRow& d : TrapDispatcherRows())
    if (Slot* slot = slotOf(d.trap)) slot->source = d.source;
  for (auto list : {MemoryTrapBindings(), DataTrapBindings(), SystemTrapBindings(), StringTrapBindings(),
                    TimeTrapBindings(), SystemMgrTrapBindings(), FeatureTrapBindings(), LaunchTrapBindings()})
    for (const TrapBinding& b : list) add(b);
  for (const FloatTrap& f : floatTraps()) table[f.trap - kFirstTableTrap].plain = Served{nullptr, nullptr, f.serve};
}

[[noreturn]] void unsupported(UInt16 trap) { FatalF("Unsupported system trap (Ox%hX) called", trap); }

UInt32 selectorOf(const Slot& slot, TrapArgs& args) {
  switch (slot.source) {
    case SelectorSource::D2Long: return args.getDataRegLong(2);
    case SelectorSource::StackWord: return args.getStackWord(0);
    default: return args.getDataRegWord(2);
  }
}

// The private system services: none is offered yet, so every selector is unknown.
void servePrivateTrap(TrapArgs& args) {
  WarningF("Unimplemented Qvn routine %d", args.getDataRegWord(2));
  args.setD0Long(0xFFFFFFFFu);
}

}  // namespace

void Init() { std::call_once(built, build); }

bool IsServed(UInt16 trap) {
  Init();
  Slot* slot = slotOf(trap);
  return slot && (slot->plain || !slot->selectors.empty());
}

void Dispatch(UInt16 trap, std::span<UInt32, 16> regs) {
  Init();
  TrapArgs args(regs);
  if (trap == kFloatDispatchTrap) return FlpDispatch(args);
  if (trap == kFloatEmulationTrap) return FlpEmDispatch(args);
  if (trap == kPrivateTrap) return servePrivateTrap(args);
  Slot* slot = slotOf(trap);
  if (!slot) unsupported(trap);
  if (slot->source == SelectorSource::None) {
    if (!slot->plain) unsupported(trap);
    return slot->plain(args);
  }
  UInt32 selector = selectorOf(*slot, args);
  auto found = slot->selectors.find(selector);
  if (found == slot->selectors.end())
    FatalF("Unsupported system trap (Ox%hX) called with selector %u", trap, static_cast<unsigned>(selector));
  found->second(args);
}

}  // namespace TrapDispatcher

void trapadapter::placeResult(TrapArgs& a, const SystemTrapRow& row, UInt32 value) {
  switch (row.result) {
    case TrapResult::Byte:
    case TrapResult::Int8:
    case TrapResult::Bool: a.setD0Byte(static_cast<UInt8>(value)); break;
    case TrapResult::Word:
    case TrapResult::Int16: a.setD0Word(static_cast<UInt16>(value)); break;
    case TrapResult::Long:
    case TrapResult::Int32: a.setD0Long(value); break;
    case TrapResult::Ptr:
    case TrapResult::Handle:
      a.setA0Long(value);
      if (row.flags & kTrapAlsoD0) a.setD0Long(value);
      break;
    default: break;
  }
}
