#pragma once
// The enumerations of the dataset model. Their ordinals are seen by scripts and stored
// component texts, so the order of every list is fixed.

enum TFieldType : int {
  ftUnknown,
  ftString,
  ftSmallint,
  ftInteger,
  ftWord,
  ftBoolean,
  ftFloat,
  ftCurrency,
  ftBCD,
  ftDate,
  ftTime,
  ftDateTime,
  ftBytes,
  ftVarBytes,
  ftAutoInc,
  ftBlob,
  ftMemo,
  ftGraphic,
  ftFmtMemo,
  ftParadoxOle,
  ftDBaseOle,
  ftTypedBinary,
  ftCursor,
  ftFixedChar,
  ftWideString,
  ftLargeint,
  ftADT,
  ftArray,
  ftReference,
  ftDataSet,
  ftOraBlob,
  ftOraClob,
  ftVariant,
  ftInterface,
  ftIDispatch,
  ftGuid,
  ftTimeStamp,
  ftFMTBcd,
  ftFixedWideChar,
  ftWideMemo,
};
constexpr int FieldTypeCount = ftWideMemo + 1;

enum TParamType : int { ptUnknown, ptInput, ptOutput, ptInputOutput, ptResult };

enum TDataSetState : int {
  dsInactive,
  dsBrowse,
  dsEdit,
  dsInsert,
  dsSetKey,
  dsCalcFields,
  dsFilter,
  dsNewValue,
  dsOldValue,
  dsCurValue,
  dsBlockRead,
  dsInternalCalc,
  dsOpening,
};

// Handlers compare these numbers, so they keep the toolchain's values.
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

enum TFieldAttribute : int { faHiddenCol, faReadonly, faRequired, faLink, faUnNamed, faFixed };

enum TFieldKind : int { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };

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
