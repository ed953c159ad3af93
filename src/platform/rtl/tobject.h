#pragma once
// The root of every class of the program. Objects are never carried as raw addresses in
// values: an object's handle is a stable 64-bit number, resolved through the table of
// live objects, so a stale or forged handle resolves to nullptr instead of a dangling pointer.
#include <QtCore/QString>

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject();

  virtual QString ClassName() const { return QStringLiteral("TObject"); }

  // The handle of this object, registered in the live table on first use. Handles start
  // far above the range of ordinary integers and are never reused.
  qint64 ObjectHandle() const;
  // The live object with that handle, or nullptr (0, unknown, or already destroyed).
  static TObject* FromHandle(qint64 handle);
  // True when the handle belongs to a live object.
  static bool IsLiveHandle(qint64 handle) { return FromHandle(handle) != nullptr; }

 private:
  mutable qint64 handle_ = 0;
};

// An object that can copy itself from another (Assign) and has an owner for its name path.
class TPersistent : public TObject {
 public:
  QString ClassName() const override { return QStringLiteral("TPersistent"); }
  // Copies from source; the default asks the source to AssignTo this object, and a pair that
  // cannot copy raises EConvertError "Cannot assign a <source class> to a <class>".
  virtual void Assign(TPersistent* source);
  virtual TPersistent* GetOwner() const { return nullptr; }
  virtual QString GetNamePath() const { return ClassName(); }

 protected:
  virtual void AssignTo(TPersistent* dest);
  [[noreturn]] void AssignError(TPersistent* source);
};

// Frees an object and clears the reference (the original's FreeAndNil).
template <class T>
void FreeAndNil(T*& object) {
  T* o = object;
  object = nullptr;
  delete o;
}
