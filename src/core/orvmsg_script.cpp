// The script registry's boxes go through the program's logged message boxes.
#include "platform/ui/dialogservice.h"
#include "core/orvmsg.h"
#include "script/orvcodeh.h"

namespace orvmsg {

void ConnectScriptBoxes() {
  orvcodeh::SetMessageSink([](orvcodeh::TBoxKind kind, const QString& text) {
    if (kind == orvcodeh::TBoxKind::Attention)
      ShowAttention(text);
    else
      DialogService().MessageBox(text, QString(), mbOKOnly);  // the plain box, not logged
  });
}

}  // namespace orvmsg
