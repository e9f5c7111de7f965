unit Buttons;
interface
uses Controls;
type
  IClickable = interface(IUnknown) procedure Click; end;
  TButton = class(TWinControl, IClickable)
  published
    property OnClick;
    property Caption: string read FCaption;
  end;
procedure Register;
implementation
end.
