#include "uiclasses.h"

#include "forms.h"
#include "menus.h"

#include "platform/classes/classregistry.h"

void RegisterUIClasses() {
  RegisterClasses(
      {TControl::StaticClass(),       TWinControl::StaticClass(), TGraphicControl::StaticClass(),
       TCustomControl::StaticClass(), TCustomForm::StaticClass(), TForm::StaticClass(),
       TCustomFrame::StaticClass(),   TFrame::StaticClass(),      TDataModule::StaticClass(),
       TMenuItem::StaticClass(),      TMenu::StaticClass(),       TMainMenu::StaticClass(),
       TPopupMenu::StaticClass(),     TFont::StaticClass(),       TPen::StaticClass(),
       TBrush::StaticClass(),         TCanvas::StaticClass(),     TBitmap::StaticClass(),
       TApplication::StaticClass(),   TScreen::StaticClass()});
}
