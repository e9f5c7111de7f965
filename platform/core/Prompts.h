#pragma once
// Message boxes as an interface, so that plain C++ code can ask the user something.
// The GUI installs a Qt implementation, command-line tools a console one, tests a scripted one.
// Texts are 8-bit Windows-1252 strings, lines ended by CR LF.

#include <deque>
#include <memory>
#include <string>
#include <vector>

enum class PromptAnswer { Ok, Cancel, Yes, No };

class Prompts {
public:
    virtual ~Prompts() = default;
    virtual void Information(const std::string &text) = 0;
    // true only for OK
    virtual bool ConfirmOkCancel(const std::string &text) = 0;
    // Yes, No or Cancel
    virtual PromptAnswer AskYesNoCancel(const std::string &text) = 0;
};

// The installed implementation; a console one until a program installs another.
Prompts &CurrentPrompts();
// Installs p (not owned; nullptr restores the console implementation). Returns the previous one.
Prompts *InstallPrompts(Prompts *p);

// Writes to stderr; questions read a line from stdin and answer No/Cancel when there is none.
class ConsolePrompts : public Prompts {
public:
    void Information(const std::string &text) override;
    bool ConfirmOkCancel(const std::string &text) override;
    PromptAnswer AskYesNoCancel(const std::string &text) override;
};

// Records every text shown and answers from a queue (Cancel when the queue is empty).
class ScriptedPrompts : public Prompts {
public:
    struct Shown {
        enum Kind { Information, OkCancel, YesNoCancel } kind;
        std::string text;
    };
    std::vector<Shown> shown;
    std::deque<PromptAnswer> answers;

    void Information(const std::string &text) override;
    bool ConfirmOkCancel(const std::string &text) override;
    PromptAnswer AskYesNoCancel(const std::string &text) override;

private:
    PromptAnswer Next();
};

// Installs a prompt implementation for the lifetime of the guard.
class PromptsGuard {
public:
    explicit PromptsGuard(Prompts &p) : fPrevious(InstallPrompts(&p)) {}
    ~PromptsGuard() { InstallPrompts(fPrevious); }
    PromptsGuard(const PromptsGuard &) = delete;
    PromptsGuard &operator=(const PromptsGuard &) = delete;

private:
    Prompts *fPrevious;
};
