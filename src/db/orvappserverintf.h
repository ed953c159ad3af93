#pragma once
// The application-server mode, chosen once by the "APPSERVER" item of the connection text,
// and the process-wide application data that screens ask for the mode, the database kind
// and the login switches.
#include "core/orvco.h"

class IAppData : public IInterface {
 public:
  ORV_INTERFACE_ID(IAppData, "{5968615D-80A3-41D9-9784-95B4B1B2C7AE}")
  virtual bool IsAppServerMode() = 0;
  virtual void* GetAppPointer() = 0;
  virtual IInterface* GetAppIntf() = 0;
  virtual IInterface* GetAppServerHost() = 0;
  virtual void* GetAppPointer2() = 0;
  virtual bool IsSystemUser() = 0;
  virtual bool IsDesignerAllowed() = 0;
  virtual quint32 GetDBKind() = 0;
};

class TOrvAppData : public TCoObject, public IAppData {
  ORV_CLASS(TOrvAppData, TCoObject)
  bool IsAppServerMode() override;
  void* GetAppPointer() override { return nullptr; }
  IInterface* GetAppIntf() override { return nullptr; }
  IInterface* GetAppServerHost() override;
  void* GetAppPointer2() override { return nullptr; }
  bool IsSystemUser() override;
  bool IsDesignerAllowed() override;
  quint32 GetDBKind() override;
  IInterface* QueryInterface(const TGUID& iid) override { return GetInterface(iid); }
};

namespace orvappserverintf {

enum : int { asmNone = 0, asmServer = 1, asmDirect = 2, asmLocal = 3 };

// The value of KEY= (key in upper case) in a connection text: the first occurrence, also as
// the tail of a longer name, up to the next ";"; def when absent or empty.
QString ConnectionTextValue(const QString& text, const QString& key, const QString& def);
// "S" 1, "D" 2, "L" 3 by the first letter of the APPSERVER value; 0 otherwise.
int AppServerModeOf(const QString& text);
int SetAppServerModeFrom(const QString& text);
// The mode of the effective connection text (command line, else the INI file).
void InitAppServerMode();
int AppServerMode();
bool IsAppServerMode();
bool IsRemoteAppServer();
// No hosting application server exists in this program: always nullptr.
IInterface* GetAppServerHost();
IAppData* GetAppData();
// Forgets the mode and the application data (tests, finalisation).
void Reset();

}  // namespace orvappserverintf
