#pragma once
#include <stdexcept>
#include <string>

// A plain object for the controls to bind to; it counts the setter calls.
struct CBoundSample {
    int number = 10;
    std::string text;
    bool flag = false;
    int choice = 0;
    int sets = 0;

    int GetNumber() const { return number; }
    void SetNumber(int v) { number = v; ++sets; }
    const std::string& GetText() const { return text; }
    void SetText(const std::string& v) { text = v; ++sets; }
    bool GetFlag() const { return flag; }
    void SetFlag(bool v) { flag = v; ++sets; }
    int GetChoice() const { return choice; }
    void SetChoice(int v) { choice = v; ++sets; }
};
