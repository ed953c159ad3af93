object BaseDlg: TBaseDlg
  Left = 0
  Top = 0
  BorderStyle = bsDialog
  Caption = 'Базовый'
  ClientHeight = 120
  ClientWidth = 240
  OldCreateOrder = False
  OnCreate = FormCreate
  PixelsPerInch = 96
  TextHeight = 13
  object ButtonPanel: TPanel
    Left = 0
    Top = 80
    Width = 240
    Height = 40
    Align = alBottom
    BevelOuter = bvNone
    TabOrder = 0
    object OkBtn: TButton
      Left = 150
      Top = 8
      Width = 75
      Height = 25
      Caption = 'OK'
      ModalResult = 1
      TabOrder = 0
      OnClick = OkBtnClick
    end
  end
end
