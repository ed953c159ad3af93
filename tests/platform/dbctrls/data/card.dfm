object CardForm: TForm
  Left = 0
  Top = 0
  Caption = 'Карточка документа'
  ClientHeight = 330
  ClientWidth = 440
  Color = clBtnFace
  object TitleLabel: TLabel
    Left = 12
    Top = 48
    Width = 90
    Height = 13
    Caption = 'Наименование'
  end
  object KindLabel: TLabel
    Left = 12
    Top = 78
    Width = 90
    Height = 13
    Caption = 'Сумма'
  end
  object DateLabel: TLabel
    Left = 228
    Top = 78
    Width = 40
    Height = 13
    Caption = 'Дата'
  end
  object Navigator: TDBNavigator
    Left = 12
    Top = 10
    Width = 250
    Height = 25
    DataSource = Source
  end
  object Title: TDBEdit
    Left = 110
    Top = 44
    Width = 318
    Height = 21
    DataField = 'TITLE'
    DataSource = Source
  end
  object Amount: TDBEdit
    Left = 110
    Top = 74
    Width = 100
    Height = 21
    DataField = 'AMOUNT'
    DataSource = Source
  end
  object Issued: TDBEdit
    Left = 276
    Top = 74
    Width = 100
    Height = 21
    DataField = 'ISSUED'
    DataSource = Source
  end
  object Done: TDBCheckBox
    Left = 110
    Top = 104
    Width = 150
    Height = 17
    Caption = 'Исполнен'
    DataField = 'DONE'
    DataSource = Source
  end
  object Kind: TDBRadioGroup
    Left = 12
    Top = 130
    Width = 200
    Height = 80
    Caption = 'Вид'
    DataField = 'KIND'
    DataSource = Source
    Items.Strings = (
      'Входящий'
      'Исходящий'
      'Внутренний')
    Values.Strings = (
      'IN'
      'OUT'
      'INT')
  end
  object Number: TDBText
    Left = 228
    Top = 140
    Width = 200
    Height = 17
    DataField = 'ID'
    DataSource = Source
  end
  object Note: TDBMemo
    Left = 12
    Top = 220
    Width = 416
    Height = 98
    DataField = 'NOTE'
    DataSource = Source
  end
  object Table: TMemDataSet
    FieldDefs = <
      item
        Name = 'ID'
        DataType = ftInteger
      end
      item
        Name = 'TITLE'
        DataType = ftString
        Size = 60
      end
      item
        Name = 'AMOUNT'
        DataType = ftFloat
      end
      item
        Name = 'ISSUED'
        DataType = ftDate
      end
      item
        Name = 'DONE'
        DataType = ftBoolean
      end
      item
        Name = 'KIND'
        DataType = ftString
        Size = 3
      end
      item
        Name = 'NOTE'
        DataType = ftMemo
      end>
    Active = True
  end
  object Source: TDataSource
    DataSet = Table
  end
end
