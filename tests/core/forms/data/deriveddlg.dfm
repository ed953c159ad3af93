inherited DerivedDlg: TDerivedDlg
  Caption = 'Производный'
  PixelsPerInch = 96
  TextHeight = 13
  inherited ButtonPanel: TPanel
    inherited OkBtn: TButton
      Caption = 'Да'
    end
  end
  inline Addr: TAddrFrame
    Left = 8
    Top = 8
    TabOrder = 1
    inherited CityEdit: TEdit
      Text = 'Тверь'
      ExplicitWidth = 100
    end
  end
end
