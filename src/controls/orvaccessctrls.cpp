#include "controls/orvaccessctrls.h"

#include "controls/orvgroupbox.h"
#include "db/orvaccessutils.h"
#include "platform/ui/comctrls.h"
#include "platform/ui/forms.h"

namespace orvaccessctrls {

void Initialize() {
  orvaccessutils::RegisterCaptionContainer(TOrvGroupBox::StaticClass());
  orvaccessutils::RegisterCaptionContainer(TTabSheet::StaticClass());
  orvaccessutils::RegisterCaptionContainer(TCustomForm::StaticClass());
}

}  // namespace orvaccessctrls
