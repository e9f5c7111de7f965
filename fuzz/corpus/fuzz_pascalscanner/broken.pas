unit Broken;
interface
type
  TFirst = class
    procedure A;
  TSecond = class(TObject)
    procedure B;
  end;
  TThird = class(TObject
    procedure C;
  end;
  123 456;
  TFourth = class end;
procedure Last;
implementation
end.
