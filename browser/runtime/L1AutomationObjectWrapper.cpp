// The automation object holder and the installed factory.

#include "browser/runtime/L1AutomationObjectWrapper.h"

#include "platform/core/Exception.h"

namespace {

AutomationObjectFactory &Factory()
{
    static AutomationObjectFactory factory;
    return factory;
}

} // namespace

AutomationObjectFactory SetAutomationObjectFactory(AutomationObjectFactory factory)
{
    AutomationObjectFactory previous = std::move(Factory());
    Factory() = std::move(factory);
    return previous;
}

TL1AutomationObjectWrapper::TL1AutomationObjectWrapper(std::string programmaticId)
    : fProgrammaticId(std::move(programmaticId))
{
}

TL1AutomationObjectWrapper::~TL1AutomationObjectWrapper() = default;

bool TL1AutomationObjectWrapper::EnsureServer()
{
    if (!Factory())
        throw Exception("No automation server can be reached for " + fProgrammaticId + ".");
    std::unique_ptr<IAutomationObject> object = Factory()(fProgrammaticId);
    if (!object)
        throw Exception("No automation server can be reached for " + fProgrammaticId + ".");
    fDispatch = std::move(object);
    return true;
}
