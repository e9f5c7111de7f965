#pragma once
// Automation objects on the D-Bus session bus: the service name and the interface are the
// programmatic identifier, the object path is "/"; methods are called by name with string
// arguments (Windows-1252 converted to UTF-8); the reply's first argument is the Boolean result
// and the by-reference arguments follow it in their order. QtCore and QtDBus only.

#include "browser/runtime/U_Quillmark_OAWrappers.h"

// The object for a programmatic identifier; throws when there is no session bus.
std::unique_ptr<IAutomationObject> ConnectAutomationObject(const std::string &programmaticId);

// UseDBusAutomation (declared in U_Quillmark_OAWrappers.h) installs it as the factory.
