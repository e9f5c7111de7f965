unit Cond;
interface
type
{$IFDEF WINDOWS}
  TWin = class(TWinBase)
{$ELSE}
  TWin = class(TUnixBase)
{$ENDIF}
    procedure Common;
{$IFNDEF FOO}
    procedure OnlyWithoutFoo;
{$ELSE}
    procedure OnlyWithFoo;
{$ENDIF}
{$IF defined(A)}
    procedure BranchA;
{$ELSEIF defined(B)}
    procedure BranchB;
{$ELSEIF defined(C)}
    procedure BranchC;
{$ELSE}
    procedure BranchElse;
{$ENDIF}
    property Color: Integer read FColor default {$ifdef X}1{$else}2{$endif};
  end;
{$IFDEF X}
  TOnlyX = class end;
{$ENDIF}
{$IFDEF X}
procedure Twice(A: Integer);
{$ELSE}
procedure Twice(A: Int64);
{$ENDIF}
implementation
end.
