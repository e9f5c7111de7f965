#include "platform/core/Prompts.h"

#include <iostream>

namespace {
ConsolePrompts gConsole;
Prompts *gCurrent = nullptr;

std::string ConsoleText(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r')
            out += c;
    return out;
}

std::string ReadAnswer()
{
    std::string line;
    if (!std::getline(std::cin, line))
        return {};
    return line;
}
} // namespace

Prompts &CurrentPrompts() { return gCurrent ? *gCurrent : gConsole; }

Prompts *InstallPrompts(Prompts *p)
{
    Prompts *previous = gCurrent;
    gCurrent = p;
    return previous;
}

void ConsolePrompts::Information(const std::string &text)
{
    std::cerr << ConsoleText(text) << std::endl;
}

bool ConsolePrompts::ConfirmOkCancel(const std::string &text)
{
    std::cerr << ConsoleText(text) << "\n[ok/cancel] " << std::flush;
    std::string a = ReadAnswer();
    return a == "ok" || a == "OK" || a == "o";
}

PromptAnswer ConsolePrompts::AskYesNoCancel(const std::string &text)
{
    std::cerr << ConsoleText(text) << "\n[yes/no/cancel] " << std::flush;
    std::string a = ReadAnswer();
    if (a == "y" || a == "yes" || a == "Yes")
        return PromptAnswer::Yes;
    if (a == "n" || a == "no" || a == "No")
        return PromptAnswer::No;
    return PromptAnswer::Cancel;
}

PromptAnswer ScriptedPrompts::Next()
{
    if (answers.empty())
        return PromptAnswer::Cancel;
    PromptAnswer a = answers.front();
    answers.pop_front();
    return a;
}

void ScriptedPrompts::Information(const std::string &text) { shown.push_back({Shown::Information, text}); }

bool ScriptedPrompts::ConfirmOkCancel(const std::string &text)
{
    shown.push_back({Shown::OkCancel, text});
    return Next() == PromptAnswer::Ok;
}

PromptAnswer ScriptedPrompts::AskYesNoCancel(const std::string &text)
{
    shown.push_back({Shown::YesNoCancel, text});
    return Next();
}
