#include "cli/cliports.h"

#include <algorithm>
#include <iostream>

namespace tarvo::cli {

void CliMessagePort::ShowMessage(const std::string& text, MsgIcon icon) {
    if (icon == MsgIcon::Error || icon == MsgIcon::Exclamation)
        m_sawError = true;
    m_err << text << std::endl;
}

void InformationToOutput::ShowMessage(const std::string& text, MsgIcon icon) {
    if (icon == MsgIcon::Information)
        m_out << text << std::endl;
    else
        m_messages.ShowMessage(text, icon);
}

char CliMessagePort::ReadAnswer(const std::string& choices) {
    std::string line;
    while (std::getline(m_in, line)) {
        if (!line.empty() &&
            choices.find(static_cast<char>(std::tolower(line[0]))) != std::string::npos)
            return static_cast<char>(std::tolower(line[0]));
        m_err << "Odpovězte " << choices << ": " << std::flush;
    }
    return 'n';
}

bool CliMessagePort::AskYesNo(const std::string& text, MsgIcon) {
    m_err << text << std::endl;
    if (m_assumeYes)
        return true;
    if (!m_interactive)
        return false;
    m_err << "[a/n] " << std::flush;
    return ReadAnswer("an") == 'a';
}

OverwriteAnswer CliMessagePort::AskOverwrite(const std::string& text) {
    m_err << text << std::endl;
    if (!m_interactive)
        return OverwriteAnswer::No;
    m_err << "[a = ano, n = ne, v = ano všem, m = ne všem] " << std::flush;
    switch (ReadAnswer("anvm")) {
    case 'a':
        return OverwriteAnswer::Yes;
    case 'v':
        return OverwriteAnswer::YesToAll;
    case 'm':
        return OverwriteAnswer::NoToAll;
    default:
        return OverwriteAnswer::No;
    }
}

TerminalProgress::~TerminalProgress() {
    EndPhase();
}

void TerminalProgress::SetRange(int lower, int upper) {
    m_lower = lower;
    m_upper = upper;
}

void TerminalProgress::SetStatus(const std::string& text) {
    EndPhase();
    m_status = text;
    m_secondary.clear();
    m_pos = m_lower;
    m_started = true;
    Draw(true);
}

void TerminalProgress::SetSecondaryStatus(const std::string& text) {
    m_secondary = text;
    Draw(false);
}

void TerminalProgress::SetPos(int pos) {
    m_pos = pos;
    Draw(false);
}

std::string TerminalProgress::Line() const {
    const int span = m_upper > m_lower ? m_upper - m_lower : 1;
    const int percent = std::clamp((m_pos - m_lower) * 100 / span, 0, 100);
    std::string line = m_status;
    if (!m_secondary.empty())
        line += "  " + m_secondary;
    return line + "  " + std::to_string(percent) + " %";
}

void TerminalProgress::EndPhase() {
    // A phase ends on a line of its own with the state it reached: drawing
    // is throttled, so the last rows may not have been shown yet.
    if (!m_started)
        return;
    if (m_terminal)
        Draw(true);
    else
        m_err << Line();
    m_err << std::endl;
    m_started = false;
}

void TerminalProgress::Draw(bool force) {
    if (!m_terminal)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - m_last < std::chrono::milliseconds(200))
        return;
    m_last = now;
    m_err << "\r" << Line() << "\x1b[K" << std::flush;
    m_started = true;
}

} // namespace tarvo::cli
