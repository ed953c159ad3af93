#pragma once
// TFiler: what a persistent's DefineProperties sees while component text is read or
// written. A defined property travels as one text value (a list for string lists, binary
// data in braces, ...).
#include "comptext.h"

#include "platform/rtl/tobject.h"

#include <functional>

class TComponent;

class TFiler {
 public:
  using TReadProc = std::function<void(const TTextValue& value)>;
  using TWriteProc = std::function<TTextValue()>;
  virtual ~TFiler() = default;

  // Declares a stored property: read is called when the text holds it; write, when
  // hasData is true, gives the value to write.
  virtual void DefineProperty(const QString& name, const TReadProc& read, const TWriteProc& write,
                              bool hasData) = 0;
  void DefineBinaryProperty(const QString& name, const std::function<void(const QByteArray&)>& read,
                            const std::function<QByteArray()>& write, bool hasData);
  virtual bool IsReader() const = 0;
  TComponent* Root() const { return root_; }

 protected:
  TComponent* root_ = nullptr;
};

// Defines stored data for objects of classes that cannot override DefineProperties here
// (classes of the runtime): every hook is called for every persistent that is read or
// written, after its own DefineProperties.
using TDefinePropertiesHook = void (*)(TPersistent* instance, TFiler* filer);
void RegisterDefinePropertiesHook(TDefinePropertiesHook hook);
// The object's own DefineProperties, then the hooks.
void DefineAllProperties(TPersistent* instance, TFiler* filer);
