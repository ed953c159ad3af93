// SQL texts with :NAME parameters: found names, occurrences and the server text agree.
#include "fuzz.h"

#include "platform/data/sqlparams.h"

ORV_FUZZ_TARGET(sqlparams) {
  const QString sql = orvfuzz::Text(data, size);
  const sqlparams::Parsed parsed = sqlparams::Parse(sql);
  int last = -1;
  for (const sqlparams::Ref& ref : parsed.refs) {
    if (ref.start <= last || ref.length < 2 || ref.start + ref.length > sql.size() ||
        sql[ref.start] != u':' || ref.name.isEmpty())
      orvfuzz::Fail("bad occurrence", ref.name);
    last = ref.start;
  }
  const sqlparams::ServerText server = sqlparams::ToServerText(sql, parsed);
  for (const int index : server.order)
    if (index < 0 || index >= parsed.names.size()) orvfuzz::Fail("bad order");
}
