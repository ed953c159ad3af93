#include "db/orvappserverintf.h"

#include "core/orvcls.h"
#include "db/orvdb.h"

#include <memory>

namespace {
int mode = 0;
TOrvAppData* appData = nullptr;
}  // namespace

bool TOrvAppData::IsAppServerMode() { return orvappserverintf::IsAppServerMode(); }
IInterface* TOrvAppData::GetAppServerHost() { return orvappserverintf::GetAppServerHost(); }
bool TOrvAppData::IsSystemUser() { return orvcls::SystemUser; }
bool TOrvAppData::IsDesignerAllowed() { return orvcls::DesignerAllowed; }
quint32 TOrvAppData::GetDBKind() { return quint32(orvcls::DBKind); }

ORV_DESCRIBE(TOrvAppData) { c.Implements<IAppData>(); }

namespace orvappserverintf {

QString ConnectionTextValue(const QString& text, const QString& key, const QString& def) {
  const QString upper = text.toUpper();
  const qsizetype at = upper.indexOf(key + QLatin1Char('='));
  if (at < 0) return def;
  const qsizetype start = at + key.size() + 1;
  qsizetype end = text.indexOf(QLatin1Char(';'), start);
  if (end < 0) end = text.size();
  const QString value = text.mid(start, qMin<qsizetype>(end - start, 10000));
  return value.isEmpty() ? def : value;
}

int AppServerModeOf(const QString& text) {
  const QString v =
      ConnectionTextValue(text.toUpper(), QStringLiteral("APPSERVER"), QStringLiteral(" "));
  switch (v.at(0).unicode()) {
    case 'S': return asmServer;
    case 'D': return asmDirect;
    case 'L': return asmLocal;
    default: return asmNone;
  }
}

int SetAppServerModeFrom(const QString& text) {
  mode = AppServerModeOf(text);
  return mode;
}

void InitAppServerMode() { SetAppServerModeFrom(orvdb::ResolveConnectionText(QString())); }

int AppServerMode() { return mode; }
bool IsAppServerMode() { return mode != asmNone; }
bool IsRemoteAppServer() { return mode == asmServer || mode == asmDirect; }
IInterface* GetAppServerHost() { return nullptr; }

IAppData* GetAppData() {
  if (appData == nullptr) appData = new TOrvAppData();
  return appData;
}

void Reset() {
  mode = asmNone;
  if (appData != nullptr) appData->Free();
  appData = nullptr;
}

}  // namespace orvappserverintf
