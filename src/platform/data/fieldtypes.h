#pragma once
// The enumerations of the dataset model. Their ordinals are seen by scripts and stored
// component texts, so the order of every list is fixed.
//
// The lists that reflection names (field types, parameter types, dataset states, field
// kinds and field attributes) are written once, as X-lists: the enumeration here and the
// names in data_describe.cpp both expand from them, so a name cannot drift from its ordinal.

#define ORV_DATA_ENUM_MEMBER(name) name,

// clang-format off
#define ORV_FIELD_TYPES(X) \
  X(ftUnknown) X(ftString) X(ftSmallint) X(ftInteger) X(ftWord) X(ftBoolean) X(ftFloat) \
  X(ftCurrency) X(ftBCD) X(ftDate) X(ftTime) X(ftDateTime) X(ftBytes) X(ftVarBytes) X(ftAutoInc) \
  X(ftBlob) X(ftMemo) X(ftGraphic) X(ftFmtMemo) X(ftParadoxOle) X(ftDBaseOle) X(ftTypedBinary) \
  X(ftCursor) X(ftFixedChar) X(ftWideString) X(ftLargeint) X(ftADT) X(ftArray) X(ftReference) \
  X(ftDataSet) X(ftOraBlob) X(ftOraClob) X(ftVariant) X(ftInterface) X(ftIDispatch) X(ftGuid) \
  X(ftTimeStamp) X(ftFMTBcd) X(ftFixedWideChar) X(ftWideMemo)
// clang-format on
enum TFieldType : int { ORV_FIELD_TYPES(ORV_DATA_ENUM_MEMBER) };
constexpr int FieldTypeCount = ftWideMemo + 1;

#define ORV_PARAM_TYPES(X) X(ptUnknown) X(ptInput) X(ptOutput) X(ptInputOutput) X(ptResult)
enum TParamType : int { ORV_PARAM_TYPES(ORV_DATA_ENUM_MEMBER) };

// clang-format off
#define ORV_DATASET_STATES(X) \
  X(dsInactive) X(dsBrowse) X(dsEdit) X(dsInsert) X(dsSetKey) X(dsCalcFields) X(dsFilter) \
  X(dsNewValue) X(dsOldValue) X(dsCurValue) X(dsBlockRead) X(dsInternalCalc) X(dsOpening)
// clang-format on
enum TDataSetState : int { ORV_DATASET_STATES(ORV_DATA_ENUM_MEMBER) };

// The states in which the current record is being changed and may be posted or cancelled.
inline bool InEditOrInsert(TDataSetState s) { return s == dsEdit || s == dsInsert; }

// Handlers compare these numbers, so the order is fixed.
enum TDataEvent : int {
  deFieldChange,
  deRecordChange,
  deDataSetChange,
  deDataSetScroll,
  deLayoutChange,
  deUpdateRecord,
  deUpdateState,
  deCheckBrowseMode,
  dePropertyChange,
  deFieldListChange,
  deFocusControl,
  deParentScroll,
  deConnectChange,
  deReconcileError,
  deDisabledStateChange,
};

#define ORV_FIELD_ATTRIBUTES(X) \
  X(faHiddenCol) X(faReadonly) X(faRequired) X(faLink) X(faUnNamed) X(faFixed)
enum TFieldAttribute : int { ORV_FIELD_ATTRIBUTES(ORV_DATA_ENUM_MEMBER) };

#define ORV_FIELD_KINDS(X) X(fkData) X(fkCalculated) X(fkLookup) X(fkInternalCalc) X(fkAggregate)
enum TFieldKind : int { ORV_FIELD_KINDS(ORV_DATA_ENUM_MEMBER) };

enum TLocateOption : int { loCaseInsensitive = 1, loPartialKey = 2 };
using TLocateOptions = int;  // a set of TLocateOption bits

enum TUpdateKind : int { ukModify, ukInsert, ukDelete };
enum TUpdateMode : int { upWhereAll, upWhereChanged, upWhereKeyOnly };

// Blob-like types keep their bytes as they are; every other type is kept as text.
inline bool IsBlobType(TFieldType t) {
  return (t >= ftBlob && t <= ftTypedBinary) || t == ftOraBlob || t == ftOraClob || t == ftWideMemo;
}
inline bool IsBinaryType(TFieldType t) {
  return t == ftBytes || t == ftVarBytes || t == ftBlob || t == ftGraphic || t == ftParadoxOle ||
         t == ftDBaseOle || t == ftTypedBinary || t == ftOraBlob;
}
