#include "events.h"

#include "classerrors.h"

#include <QtCore/QHash>

#include <map>

TMethod TEventBase::Method() const { return TMethod{code_, TObject::FromHandle(data_)}; }

void TEventBase::Store(const TMethod& method, const void* sigTag) {
  if (method.Code == nullptr) {
    Clear();
    return;
  }
  if (!method.Code->IsPending() && method.Code->SigTag != sigTag) {
    throw EPropertyError(
        QStringLiteral("Method %1 does not match the event type")
            .arg(method.Code->Name.isEmpty() ? QStringLiteral("(unnamed)") : method.Code->Name));
  }
  code_ = method.Code;
  data_ = method.Data != nullptr ? method.Data->ObjectHandle() : 0;
}

TObject* TEventBase::Target() const {
  if (code_ == nullptr || code_->IsPending() || data_ == 0) return nullptr;
  return TObject::FromHandle(data_);
}

const TTypeInfo* MakeMethodTypeInfo(const QString& name, const QString& declaration,
                                    const void* sigTag) {
  auto* info = new TTypeInfo;
  info->Kind = tkMethod;
  info->Name = name;
  info->SigTag = sigTag;
  const QString decl = declaration.trimmed();
  info->MethodKind =
      decl.startsWith(QLatin1String("function"), Qt::CaseInsensitive) ? mkFunction : mkProcedure;
  const int open = decl.indexOf(QLatin1Char('('));
  const int close = decl.lastIndexOf(QLatin1Char(')'));
  if (open >= 0 && close > open) {
    // Groups "var A, B: Integer" separated by ";".
    const QStringList groups = decl.mid(open + 1, close - open - 1).split(QLatin1Char(';'));
    for (QString group : groups) {
      group = group.trimmed();
      if (group.isEmpty()) continue;
      int flags = 0;
      static const std::pair<const char*, int> kPrefixes[] = {{"var ", TParamInfo::pfVar},
                                                              {"const ", TParamInfo::pfConst},
                                                              {"out ", TParamInfo::pfOut}};
      for (const auto& [prefix, flag] : kPrefixes) {
        if (group.startsWith(QLatin1String(prefix), Qt::CaseInsensitive)) {
          flags |= flag;
          group = group.mid(int(qstrlen(prefix))).trimmed();
        }
      }
      const int colon = group.indexOf(QLatin1Char(':'));
      QString type = colon >= 0 ? group.mid(colon + 1).trimmed() : QString();
      if (type.startsWith(QLatin1String("array of "), Qt::CaseInsensitive)) {
        flags |= TParamInfo::pfArray;
        type = type.mid(9).trimmed();
      }
      const QStringList names = (colon >= 0 ? group.left(colon) : group).split(QLatin1Char(','));
      for (const QString& n : names) info->Params.push_back(TParamInfo{flags, n.trimmed(), type});
    }
  }
  if (info->MethodKind == mkFunction) {
    const int colon = decl.indexOf(QLatin1Char(':'), close >= 0 ? close : 0);
    if (colon >= 0) info->ResultType = decl.mid(colon + 1).trimmed();
  }
  return info;
}

namespace {

// The table behind method tokens. Entries live for the process (a few per event
// binding); an entry whose code is destroyed is withdrawn.
struct MethodTokens {
  std::map<std::pair<const TMethodInfo*, qint64>, qint64> byMethod;
  QHash<qint64, std::pair<const TMethodInfo*, qint64>> byToken;
  qint64 next = 1;
};

MethodTokens& Tokens() {
  static auto* tokens = [] {
    TMethodInfo::OnForget = [](const TMethodInfo* code) {
      MethodTokens& t = Tokens();
      for (auto it = t.byMethod.begin(); it != t.byMethod.end();) {
        if (it->first.first == code) {
          t.byToken.remove(it->second);
          it = t.byMethod.erase(it);
        } else {
          ++it;
        }
      }
    };
    return new MethodTokens;
  }();
  return *tokens;
}

const QString kTokenPrefix = QString(QChar(0xE000)) + QStringLiteral("method:");

}  // namespace

Variant MethodToVariant(const TMethod& method) {
  if (method.Code == nullptr) return Variant(QString());
  MethodTokens& t = Tokens();
  const qint64 data = method.Data != nullptr ? method.Data->ObjectHandle() : 0;
  const auto key = std::make_pair(method.Code, data);
  auto it = t.byMethod.find(key);
  qint64 token;
  if (it != t.byMethod.end()) {
    token = it->second;
  } else {
    token = t.next++;
    t.byMethod.emplace(key, token);
    t.byToken.insert(token, key);
    method.Code->Tokenized = true;
  }
  return Variant(kTokenPrefix + QString::number(token));
}

TMethod VariantToMethod(const Variant& value) {
  if (!value.IsString()) return TMethod{};
  const QString& text = value.StringRef();
  if (!text.startsWith(kTokenPrefix)) return TMethod{};
  bool ok = false;
  const qint64 token = text.mid(kTokenPrefix.size()).toLongLong(&ok);
  if (!ok) return TMethod{};
  MethodTokens& t = Tokens();
  auto it = t.byToken.find(token);
  if (it == t.byToken.end()) return TMethod{};
  TObject* data = TObject::FromHandle(it->second);
  if (it->second != 0 && data == nullptr) return TMethod{};  // its object is gone
  return TMethod{it->first, data};
}
