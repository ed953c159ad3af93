#pragma once
// Native classes mirrored in the tests, and a registry made afresh for each test.
#include "script/orvcodeh.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

ORV_ENUM(TShade, shLight, shDark, shBlack)
ORV_SET(TShades, TShade)

class IProbe : public IInterface {
 public:
  static inline const TGUID IID = QStringLiteral("{5E1C2B0A-0000-4000-8000-00000000A001}");
  static QString InterfaceName() { return QStringLiteral("IProbe"); }
};

// One published property of every kind the mirror turns into a member.
class TGadget : public TComponent {
  ORV_CLASS(TGadget, TComponent)
  using TCreateArg = TComponent;
  explicit TGadget(TComponent* owner) : TComponent(owner) {}

  int Count = 0;
  TShade Shade = shLight;
  TShades Shades;
  bool Flag = false;
  QChar Letter = QLatin1Char('a');
  double Ratio = 0;
  QString Caption;
  Variant Data;
  IProbe* Probe = nullptr;
  TComponent* Buddy = nullptr;
  qint64 Big = 0;
  TNotifyEvent OnPing;
  TGadget* Part = nullptr;  // a published component field

  int pings = 0;
  void Ping(TObject*) { ++pings; }
};

class TBigGadget : public TGadget {
  ORV_CLASS(TBigGadget, TGadget)
  explicit TBigGadget(TComponent* owner) : TGadget(owner) {}
  int Extra = 0;
};

// An event package serving TNotifyEvent: the event's arguments go to the bound routine.
class TTestPackage : public TEventPackage {
  ORV_CLASS(TTestPackage, TEventPackage)
  explicit TTestPackage(TComponent* owner) : TEventPackage(owner) {}
  void MNotifyEvent(TObject* sender) { CallVariant({orvcls::ObjToVar(sender)}); }
};

class TSecondPackage : public TTestPackage {
  ORV_CLASS(TSecondPackage, TTestPackage)
  explicit TSecondPackage(TComponent* owner) : TTestPackage(owner) {}
};

// A fresh root environment with its own registry.
class RegistryTest : public ::testing::Test {
 protected:
  RegistryTest() : root(orvcodeh::CreateRegistry()) {}
  ~RegistryTest() override { root->Free(); }

  TRootEnvScope env;
  TRootCls* root;
};
