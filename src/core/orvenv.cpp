#include "orvenv.h"

#include "controls/controlunits.h"
#include "controls/orvaccessctrls.h"
#include "core/orvcls.h"
#include "core/orvlib_forms.h"
#include "core/orvmsg.h"
#include "core/orvparam.h"
#include "db/orvaccessutils.h"
#include "db/orvdb.h"
#include "db/orvlookup.h"
#include "db/orvzeossetup.h"
#include "script/lib/orvlib95.h"
#include "script/lib/orvlib96.h"
#include "script/lib/orvlib97.h"
#include "script/lib/orvlib98.h"
#include "script/lib/orvopf.h"
#include "platform/rtl/exceptions.h"
#include "script/orvcodeh.h"
#include "script/orvcode2.h"
#include "reports/run/orvReps_Runner.h"

namespace orvenv {

namespace {

TRootEnv* gEnv = nullptr;
TGetRootEnv gGetter = &DefaultGetRootEnv;
TSetRootEnv gSetter = &DefaultSetRootEnv;

std::vector<TStartEntry> gStarted;
bool gStartupRan = false;

}  // namespace

TRootEnv* GetRootEnv() { return gGetter(); }
void SetRootEnv(TRootEnv* env) { gSetter(env); }
TRootEnv* DefaultGetRootEnv() { return gEnv; }
void DefaultSetRootEnv(TRootEnv* env) { gEnv = env; }

void InstallRootEnvAccess(TGetRootEnv getter, TSetRootEnv setter) {
  gGetter = getter != nullptr ? getter : &DefaultGetRootEnv;
  gSetter = setter != nullptr ? setter : &DefaultSetRootEnv;
}

// The start-up order of the program's own units. Each step does what later steps rely on:
//  1. orvenv      the getter and setter of the environment (installed statically above)
//  2. orvmsg      the debug-trace hook's do-nothing target
//  3. orvsys
//  4. orvcls      the top root environment
//  5. orvlib
//  6. orvcodeh    the script class registry in the environment, the built-in type names
//                 and script functions, the program parameters in the Params slot
//  7. the scanner, compiler and database-layer tables
//  8. orvlookup   the dataset factory (TRootEnv::SetDataSets)
//  9. forms, frames, data modules and controls register their classes with the registry
// 10. orvmainf    DEBUG and the program's format settings
// 11. orvopf      the registration of the script runtime library, then EndRegistration
// 12. later units (built-in function components, reports) still register after that
const std::vector<TStartEntry>& StartList() {
  static const std::vector<TStartEntry> list = {
      {"orvmsg", &orvmsg::Initialize, nullptr},
      {"orvcls", &orvcls::Initialize, &orvcls::Finalize},
      {"orvcodeh", &orvcodeh::Initialize, &orvcodeh::Finalize},
      {"orvcode2", &orvcode2::Initialize, nullptr},
      {"orvparam", &orvparam::Initialize, &orvparam::Finalize},
      {"orvzeossetup", &orvzeossetup::RegisterClasses, &orvdb::ResetState},
      {"orvlookup", &orvlookup::Initialize, &orvlookup::Finalize},
      {"forms", &orvlib::InitializeForms, nullptr},
      {"orvdbnavigator", &orvdbnavigator::Initialize, nullptr},
      {"orvaccessutils", &orvaccessutils::Initialize, &orvaccessutils::Finalize},
      {"orvaccessctrls", &orvaccessctrls::Initialize, nullptr},
      {"orvopf", &orvopf::RegisterRuntimeLibrary, nullptr},
      {"orvlib95", &orvlib95::Initialize, nullptr},
      {"orvlib96", &orvlib96::Initialize, nullptr},
      {"orvlib97", &orvlib97::Initialize, nullptr},
      {"orvlib98", &orvlib98::Initialize, nullptr},
      {"orvReps_Run", &orvReps_Run::Initialize, nullptr},
  };
  return list;
}

void Startup(const std::vector<TStartEntry>& list) {
  if (gStartupRan) return;
  gStartupRan = true;
  for (const TStartEntry& entry : list) {
    try {
      if (entry.Init != nullptr) entry.Init();
    } catch (Exception& e) {
      e.AppendMessage(QStringLiteral("\r\n") + QString::fromLatin1(entry.Name) +
                      QStringLiteral(": initialization"));
      throw;
    }
    gStarted.push_back(entry);
  }
}

void Shutdown() {
  while (!gStarted.empty()) {
    const TStartEntry entry = gStarted.back();
    gStarted.pop_back();
    if (entry.Fini != nullptr) entry.Fini();
  }
  gStartupRan = false;
}

}  // namespace orvenv
