#pragma once
// TReader: reads parsed component text into components.
//
// The root block is read into the given root (its class name in the text is not checked,
// so "inherited TComponent" reads into any root), or, without a root, into a new
// component of the named class. Nested "object" blocks create components of registered
// classes, owned by the root (by the enclosing inline component inside an "inline" block),
// whose parent component is the enclosing block's component; "inherited" blocks read into
// an existing component of that name. Component references are resolved after the whole
// text is read: a name in the root, the root's own name, or X.Y through the global
// component lookup. Event properties name methods: the method-lookup hook resolves them
// (by default, a published method of the root's class).
//
// Errors are EReadError (EParserError for malformed text) whose message ends with
// "at line N". Components created by a read that fails are freed again; nothing created
// is left without an owner.
#include "comptext.h"
#include "component.h"

#include <functional>

class TReader {
 public:
  using TFindMethod = std::function<TMethod(TComponent* root, const QString& name)>;
  // Returns nullptr to let the registry create the component.
  using TCreateComponent = std::function<TComponent*(TClass cls, TComponent* owner)>;

  TFindMethod OnFindMethod;
  TCreateComponent OnCreateComponent;
  // Asked with the message of a property that cannot be read; true skips the property and
  // the read goes on (a checking tool lists every such property this way).
  std::function<bool(const QString& message)> OnPropertyError;

  TComponent* ReadRootComponent(const TTextObject& text, TComponent* root);
  // References that named no component (left unchanged).
  const QStringList& UnresolvedReferences() const { return unresolved_; }

 private:
  struct Fixup {
    TObject* instance;
    const TPropInfo* prop;
    QString name;
    TComponent* lookupRoot;
  };
  class Filer;

  void ReadComponentBody(TComponent* component, const TTextObject& text, TComponent* lookupRoot);
  TComponent* ReadChild(const TTextObject& text, TComponent* parent, TComponent* lookupRoot);
  void ReadProperty(TPersistent* instance, const TTextProperty& prop, TComponent* lookupRoot);
  void SetValue(TObject* instance, const TPropInfo* prop, const TTextValue& value,
                TComponent* lookupRoot);
  void ReadCollection(TObject* target, const TTextValue& value, TComponent* lookupRoot);
  TComponent* FindReference(const QString& name, TComponent* lookupRoot) const;
  void ResolveFixups();
  [[noreturn]] static void Fail(const QString& message, int line);

  TComponent* root_ = nullptr;
  std::vector<TComponent*> loaded_;
  std::vector<Fixup> fixups_;
  QStringList unresolved_;
};

// Parses the text and reads it into root (or a new component when root is nullptr).
TComponent* ReadComponentText(const QString& text, TComponent* root,
                              const TReader::TFindMethod& findMethod = {});
