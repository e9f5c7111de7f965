unit Controls;
interface
uses Classes;
type
  TNotifyEvent = procedure(Sender: TObject) of object;
  TControl = class(TComponent)
  public
    procedure Paint; virtual;
    property Left: Integer read FLeft;
    property OnClick: TNotifyEvent read FOnClick;
  end;
  TWinControl = class(TControl)
    {$I wincontrol.inc}
  end;
  TControlWithAVeryLongNameForMapping = class(TWinControl) end;
  TBroken = class(TControl) procedure end;
procedure Register;
implementation
end.
