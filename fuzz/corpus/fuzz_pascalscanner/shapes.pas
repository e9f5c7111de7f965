unit Shapes;
{$mode objfpc}{$H+}
interface
uses Classes, SysUtils;
type
  TShape = class;
  TShapeClass = class of TShape;
  TNotify = procedure(Sender: TObject) of object;
  TRef = reference to procedure(X: Integer);
  TPlain = procedure(X: Integer); stdcall;
  TAlias = TNotify;
  IDrawable = interface(IUnknown)
    ['{00000000-0000-0000-0000-000000000001}']
    procedure Draw;
    function Bounds: TRect;
    property Visible: Boolean read GetVisible;
  end;
  IAuto = dispinterface
    ['{00000000-0000-0000-0000-000000000002}']
    property Name: WideString dispid 1;
    procedure Run; dispid 2;
  end;
  IForward = interface;
  TShape = class(TPersistent,
                 IDrawable)
  private
    FOnChange: TNotify;
    FRec: record A, B: Integer; end;
    procedure SetName(const Value: string);
  protected
    type
      TInner = class
        procedure Hidden;
      end;
    const Limit = 10;
  public
    constructor Create; overload;
    constructor Create(AOwner: TObject); overload;
    destructor Destroy; override;
    class function Count: Integer;
    procedure Draw; virtual; abstract;
    function IDrawable.Bounds = GetBounds;
    function GetBounds: TRect;
    generic function Convert<T>(X: T): T;
    property Name: string read FName write SetName;
    property Items[Index: Integer]: TShape read GetItem; default;
    property OnChange: TNotify read FOnChange write FOnChange;
    property OnRef: TRef read FRef;
    property OnPlain: TPlain read FPlain;
    property OnAlias: TAlias read FAlias;
    property OnUnknown: TUnknownThing read FUnknown;
    property Onion: TUnknownThing read FOnion;
    property OnTop: Boolean read FOnTop;
  end;
  TCircle = class sealed(TShape) end;
  TSquare = class abstract(TShape);
  TPoly = packed class(TShape)
  published
    property OnChange;
    property Name;
  end deprecated 'use TShape';
  TOld = object(TOldBase)
    procedure Init;
  end;
  TOldRoot = packed object
    X: Integer;
  end;
  generic TList<T> = class(TObject)
    procedure Add(Item: T);
  end;
  TDict<K, V: class> = class(specialize TList<K>)
  end;
  THelper = class helper for TShape
    procedure Extra;
  end;
  TIntHelper = type helper for Integer
    function Twice: Integer;
  end;
  TPoint2 = record X, Y: Integer; case Byte of 0: (Z: Word); end;
  EShape = class(Exception);

procedure Paint(Shape: TShape); overload;
procedure Paint(const Shapes: array of TShape); overload;
function Area(const S: TShape): Double; inline;
procedure External1; external 'lib' name 'x';
generic procedure Swap<T>(var A, B: T);
operator + (const A, B: TPoint2): TPoint2;

var Current: TShape;
const Sizes: array[0..1] of Integer = (1, 2);

implementation
type
  TPrivate = class
  end;
procedure Hidden; begin end;
end.
