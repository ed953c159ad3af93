// Edit masks of stored forms and fields: the first part is the mask, the second a value. Any
// mask reads; an edit text has one character per position and the positions a scan answers
// lie in the mask.
#include "fuzz.h"

#include "platform/ui/editmask.h"

ORV_FUZZ_TARGET(editmask) {
  QByteArray maskBytes, valueBytes;
  orvfuzz::Split(orvfuzz::Bytes(data, size), maskBytes, valueBytes);
  const TEditMask mask(QString::fromUtf8(maskBytes));
  const QString value = QString::fromUtf8(valueBytes);
  const int n = mask.Length();
  const QString edit = mask.EditTextFromText(value);
  if (edit.size() != n || mask.EmptyEditText().size() != n)
    orvfuzz::Fail("edit text is not one character per position");
  const int missing = mask.FirstMissing(edit);
  if (missing < -1 || missing >= n) orvfuzz::Fail("missing position outside the mask");
  for (int pos : {0, n / 2, n - 1, n}) {
    for (bool backward : {false, true}) {
      const int next = mask.NextInput(pos, backward);
      if (next != -1 && (next < 0 || next >= n || mask.IsLiteral(next)))
        orvfuzz::Fail("input position outside the mask");
    }
  }
  for (int pos = 0; pos < n && pos < 64; ++pos)
    if (!value.isEmpty() && !mask.Accept(pos, value[0]).isNull() && mask.IsLiteral(pos))
      orvfuzz::Fail("a literal takes typing");
  // Taking the value out trims blanks, so a value with a blank first position does not
  // come back to the same positions; only that it runs is checked.
  mask.EditTextFromText(mask.TextFromEditText(edit));
}
