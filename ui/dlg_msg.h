// CDlgMSG: the "Системные сообщения" page. It shows the text of the
// process-wide message log (calc/message_log.h) with three check boxes that
// hide or show errors, warnings and information.
#pragma once

#include "calc/message_log.h"
#include "resources/resource.h"
#include "ui/page.h"
#include "win/table_copy.h"

class CDlgMSG : public Page {
public:
    explicit CDlgMSG(MessageLog& log) : Page(IDD_MESSAGES), log_(log) {}

    MessageLog& Log() { return log_; }
    // Empties the log (the page shows it at the next ShowLog).
    void ClearLog() { log_.ClearLog(); }
    // Puts the log's text and its three switches on the page.
    void ShowLog();

protected:
    bool OnInitDialog() override;
    void OnCommand(int id, int code) override;

private:
    MessageLog& log_;
    CopyableText text_;  // Ctrl+C without a selection copies the whole log
};

// The page over the process-wide log.
CDlgMSG& MessageLogPage();
