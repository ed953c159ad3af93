// The ExtCtrls group: creation of shapes, paint boxes, images, bevels, timers, panels,
// notebook pages and radio groups, the drawing canvases, and the shape, bevel and border
// constants. Every member entry checks its Self against its class (creation entries accept
// nil).
#include "platform/ui/comctrls.h"
#include "platform/ui/extctrls.h"
#include "platform/ui/notebook.h"
#include "script/lib/bindkit.h"
#include "script/lib/orvbindings.h"

using namespace bindkit;

namespace {


#define CREATE_ROW(Name, Class) \
  { TRow::Func, Name, ORV_BIND(r = Create<Class>(s, a)), "0" }

const TRow kRows[] = {
    CREATE_ROW("TSHAPE.CREATE", TShape),
    {TRow::Proc, "TSHAPE.STYLECHANGED", ORV_BIND(Self<TShape>(s)->StyleChanged(ArgObj(a, 0))), "0"},
    CREATE_ROW("TPAINTBOX.CREATE", TPaintBox),
    {TRow::Prop, "TPAINTBOX.CANVAS", ORV_BIND(r = Obj(Self<TPaintBox>(s)->Canvas()))},
    CREATE_ROW("TIMAGE.CREATE", TImage),
    {TRow::Prop, "TIMAGE.CANVAS", ORV_BIND(r = Obj(Self<TImage>(s)->Picture()->Canvas()))},
    CREATE_ROW("TBEVEL.CREATE", TBevel),
    CREATE_ROW("TTIMER.CREATE", TTimer),
    CREATE_ROW("TCUSTOMPANEL.CREATE", TCustomPanel),
    CREATE_ROW("TPAGE.CREATE", TPage),
    CREATE_ROW("TNOTEBOOK.CREATE", TNotebook),
    CREATE_ROW("TCUSTOMRADIOGROUP.CREATE", TCustomRadioGroup),
};

const TConstRow kConsts[] = {
    {"stEllipse", qint64(4)},     {"stRectangle", qint64(0)}, {"stRoundRect", qint64(2)},
    {"stRoundSquare", qint64(3)}, {"stSquare", qint64(1)},    {"stCircle", qint64(5)},
    {"bsBox", qint64(0)},         {"bsFrame", qint64(1)},     {"bsTopLine", qint64(2)},
    {"bsBottomLine", qint64(3)},  {"bsLeftLine", qint64(4)},  {"bsRightLine", qint64(5)},
    {"bsLowered", qint64(0)},     {"bsRaised", qint64(1)},    {"bvNone", qint64(0)},
    {"bvLowered", qint64(1)},     {"bvRaised", qint64(2)},    {"bsNone", qint64(0)},
    {"bsSingle", qint64(1)},
};

}  // namespace

namespace orvbindings {

void RegisterExtCtrlsBindings() {
  orvcls::RegisterClasses(
      {TBevel::StaticClass(), TPanel::StaticClass(), TPageControl::StaticClass(),
       TTabSheet::StaticClass(), TTabControl::StaticClass(), TSplitter::StaticClass(),
       TProgressBar::StaticClass(), TShape::StaticClass(), TPaintBox::StaticClass(),
       TImage::StaticClass(), TTimer::StaticClass(), TCustomPanel::StaticClass(),
       TPage::StaticClass(), TNotebook::StaticClass(), TCustomRadioGroup::StaticClass(),
       TRadioGroup::StaticClass()});
  RegisterOverPublished(kRows);
  Register(kConsts);
}

}  // namespace orvbindings
