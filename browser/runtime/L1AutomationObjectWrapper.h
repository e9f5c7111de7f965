#pragma once
// A holder of one late-bound automation object: methods are called by name with string
// arguments, some of them by reference (the server fills them), and give a Boolean result.
// Plain C++: a program installs the factory that reaches real servers (the browser and qmk
// install the D-Bus one); tests install recording objects.

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct TAutomationArgument {
    std::string value; // Windows-1252
    bool byReference = false;
};

class IAutomationObject {
public:
    virtual ~IAutomationObject() = default;
    // Calls the method; by-reference arguments receive what the server sent back. Failures of
    // the server or of the connection throw Exception with their text.
    virtual bool Invoke(const std::string &method, std::vector<TAutomationArgument> &arguments) = 0;
};

// Creates the automation object of a programmatic identifier; throws when it cannot.
using AutomationObjectFactory = std::function<std::unique_ptr<IAutomationObject>(const std::string &programmaticId)>;
// Installs the factory; returns the previous one. Without one, creating an object fails.
AutomationObjectFactory SetAutomationObjectFactory(AutomationObjectFactory factory);

class TL1AutomationObjectWrapper {
public:
    explicit TL1AutomationObjectWrapper(std::string programmaticId);
    virtual ~TL1AutomationObjectWrapper();

    // Creates the object afresh, releasing the previous one. Returns true; failures throw.
    bool EnsureServer();

    const std::string &ProgrammaticId() const { return fProgrammaticId; }
    IAutomationObject *Dispatch() const { return fDispatch.get(); }

protected:
    std::unique_ptr<IAutomationObject> fDispatch;
    std::string fProgrammaticId;
};
