#include "platform/data/pgtypes_p.h"

namespace pgtypes {

void Describe(RowsetColumn& c) {
  c.binary = false;
  c.precision = 0;
  switch (c.typeOid) {
    case 16: c.type = ftBoolean; break;
    case 17:
      c.type = ftBlob;
      c.binary = true;
      break;
    case 18:
      c.type = ftFixedChar;
      c.size = 1;
      break;
    case 19:
      c.type = ftString;
      c.size = 63;
      break;
    case 20: c.type = ftLargeint; break;
    case 21: c.type = ftSmallint; break;
    case 23: c.type = ftInteger; break;
    case 26: c.type = ftLargeint; break;  // oid is unsigned 32-bit
    case 114:
    case 142:
    case 3802: c.type = ftMemo; break;  // json, xml, jsonb
    case 700:
    case 701: c.type = ftFloat; break;
    case 790: c.type = ftCurrency; break;
    case 1042:
      c.type = ftFixedChar;
      c.size = c.typeMod > 4 ? c.typeMod - 4 : 1;
      break;
    case 1043:
      c.type = ftString;
      c.size = c.typeMod > 4 ? c.typeMod - 4 : UnboundedStringSize;
      break;
    case 1082: c.type = ftDate; break;
    case 1083:
    case 1266: c.type = ftTime; break;
    case 1114:
    case 1184: c.type = ftDateTime; break;
    case 1700:
      if (c.typeMod >= 4) {
        const int precision = ((c.typeMod - 4) >> 16) & 0xFFFF;
        const int scale = (c.typeMod - 4) & 0xFFFF;
        c.precision = precision;
        c.size = scale;
        c.type = precision <= 18 && scale <= 4 ? ftBCD : ftFMTBcd;
      } else {
        c.type = ftFMTBcd;
        c.precision = 32;
        c.size = 8;
      }
      break;
    case 2950:
      c.type = ftString;
      c.size = 36;
      break;  // uuid
    default:
      c.type = ftString;
      c.size = UnboundedStringSize;
      break;  // text, unknown, interval, ...
  }
}

}  // namespace pgtypes
