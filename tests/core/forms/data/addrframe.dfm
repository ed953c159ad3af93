object AddrFrame: TAddrFrame
  Left = 0
  Top = 0
  Width = 200
  Height = 30
  TabOrder = 0
  object CityEdit: TEdit
    Left = 4
    Top = 4
    Width = 120
    Height = 21
    TabOrder = 0
    Text = 'Москва'
  end
end
