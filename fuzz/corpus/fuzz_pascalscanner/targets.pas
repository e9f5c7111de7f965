unit Targets;
interface
type
  JLObject = class external 'java.lang' name 'Object';
  JLRunnable = interface external 'java.lang' name 'Runnable'
    procedure run(); overload;
  end;
  JLThread = class sealed external 'java.lang' name 'Thread' (JLObject, JLRunnable)
  public
    type
      InnerState = class external 'java.lang' name 'Thread$State' (JLObject)
      end;
    final class var
      fMin: jint; external name 'MIN_PRIORITY';
  package
    procedure join(); overload;
  end;
  NSFoo = objcclass external;
  NSObjectProtocol = objcprotocol external name 'NSObject'
  required
    function hash: NSUInteger; message 'hash';
  optional
    function description: NSString; message 'description';
  end;
  NSObject = objcclass external (NSObjectProtocol)
    function init: id; message 'init';
  end;
  NSObjectExtras = objccategory external (NSObject)
    procedure extra; message 'extra';
  end;
  TCppThing = cppclass external 'lib'
    procedure Go;
  end;
  TLost = record a: Integer; end;
implementation
end.
