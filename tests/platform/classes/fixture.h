#pragma once
// Classes with one published property of every kind, shared by the tests.
#include "platform/classes/component.h"
#include "platform/classes/classregistry.h"
#include "support/test_support.h"

ORV_ENUM(TShape, shNone, shCircle, shSquare)
ORV_SET(TShapes, TShape)

class ISample : public IInterface {
 public:
  ORV_INTERFACE_ID(ISample, "{11111111-2222-3333-4444-555555555555}")
  virtual int Answer() = 0;
};

class TSample : public TComponent, public ISample {
  ORV_CLASS(TSample, TComponent)
  ORV_INTERFACES
  using TComponent::TComponent;

  int Answer() override { return 42; }

  int Count = 0;
  TShape Shape = shNone;
  TShapes Shapes;
  bool Flag = false;
  QChar Letter;
  double Ratio = 0;
  double When = 0;
  QString Caption;
  Variant Value;
  qint64 Big = 0;
  TComponent* Link = nullptr;
  ISample* Service = nullptr;
  TNotifyEvent OnPing;
  QString Log;
  TSample* Buddy = nullptr;  // a published field

  void Ping(TObject* sender) {
    Log += QStringLiteral("ping:") + sender->ClassName() + QLatin1Char(';');
  }
  void Pong(TObject* sender) {
    (void)sender;
    Log += QStringLiteral("pong;");
  }
  int Twice() const { return Count * 2; }
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == Link) Link = nullptr;
  }
};
