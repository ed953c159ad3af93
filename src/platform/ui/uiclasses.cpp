#include "uiclasses.h"

#include "comctrls.h"
#include "dbctrls.h"
#include "dialogs.h"
#include "forms.h"
#include "menus.h"
#include "notebook.h"
#include "picture.h"
#include "toolbar.h"

#include "platform/classes/classregistry.h"
#include "platform/classes/rtlclasses.h"

void RegisterUIClasses() {
  // The item lists of the controls are string lists to scripts and component text.
  RegisterClassForType(typeid(TControlStrings), StringListClass());
  RegisterClasses(
      {TControl::StaticClass(),       TWinControl::StaticClass(), TGraphicControl::StaticClass(),
       TCustomControl::StaticClass(), TCustomForm::StaticClass(), TForm::StaticClass(),
       TCustomFrame::StaticClass(),   TFrame::StaticClass(),      TDataModule::StaticClass(),
       TMenuItem::StaticClass(),      TMenu::StaticClass(),       TMainMenu::StaticClass(),
       TPopupMenu::StaticClass(),     TFont::StaticClass(),       TPen::StaticClass(),
       TBrush::StaticClass(),         TCanvas::StaticClass(),     TBitmap::StaticClass(),
       TPicture::StaticClass(),       TIcon::StaticClass(),       TApplication::StaticClass(),
       TScreen::StaticClass()});
  RegisterClasses({TCustomLabel::StaticClass(),
                   TLabel::StaticClass(),
                   TCustomEdit::StaticClass(),
                   TEdit::StaticClass(),
                   TCustomMemo::StaticClass(),
                   TMemo::StaticClass(),
                   TCustomComboBox::StaticClass(),
                   TComboBox::StaticClass(),
                   TCustomListBox::StaticClass(),
                   TListBox::StaticClass(),
                   TButtonControl::StaticClass(),
                   TButton::StaticClass(),
                   TCustomCheckBox::StaticClass(),
                   TCheckBox::StaticClass(),
                   TRadioButton::StaticClass(),
                   TScrollBar::StaticClass(),
                   TCustomGroupBox::StaticClass(),
                   TGroupBox::StaticClass(),
                   TCustomPanel::StaticClass(),
                   TPanel::StaticClass(),
                   TBevel::StaticClass(),
                   TShape::StaticClass(),
                   TImage::StaticClass(),
                   TPaintBox::StaticClass(),
                   TSplitter::StaticClass(),
                   TTimer::StaticClass(),
                   TCustomRadioGroup::StaticClass(),
                   TRadioGroup::StaticClass(),
                   TBitBtn::StaticClass(),
                   TSpeedButton::StaticClass(),
                   TScrollingWinControl::StaticClass(),
                   TScrollBox::StaticClass(),
                   TCustomImageList::StaticClass(),
                   TImageList::StaticClass(),
                   TTabSheet::StaticClass(),
                   TPageControl::StaticClass(),
                   TStatusBar::StaticClass(),
                   TProgressBar::StaticClass(),
                   TCustomTreeView::StaticClass(),
                   TTreeView::StaticClass(),
                   TCustomListView::StaticClass(),
                   TListView::StaticClass(),
                   TPage::StaticClass(),
                   TNotebook::StaticClass(),
                   TTabControl::StaticClass(),
                   TToolBar::StaticClass(),
                   TToolButton::StaticClass(),
                   TMonthCalendar::StaticClass()});
  RegisterDBControlClasses();
  RegisterDialogClasses();
}
