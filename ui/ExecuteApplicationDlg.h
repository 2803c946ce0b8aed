#pragma once
// The dialog that sets the program a button launches: path, arguments and
// working folder. It is given the three and, when the user confirms with a
// program file that exists (and, if given, a folder that exists), gives back
// the three confirmed.
#include <windows.h>
#include "CString.h"
#include "Controls.h"
#include "Dialog.h"
#include "ButtonRecords.h"

class CZVKExecuteApplicationDlg : public CDialog
{
public:
    // In a silent run a refused confirmation shows no warning.
    explicit CZVKExecuteApplicationDlg(const ApplicationLaunch& program, bool silent = false);
    ~CZVKExecuteApplicationDlg() override;

    BOOL OnInitDialog() override;
    void OnOK() override;
    // Non-zero after a confirmation that changed the path, arguments or folder.
    virtual INT32 IsChanged() const;
    // The three as confirmed; as given until a confirmation was accepted.
    ApplicationLaunch Result() const;

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }
    void DoDataExchange(CDataExchange* dx) override;

    CEdit folderEdit;
    CEdit pathEdit;
    CEdit argumentsEdit;
    CButton okButton;
    CButton cancelButton;
    CButton browseButton;
    CString pathText;
    CString folderText;
    CString argumentsText;
    INT32 changed = 0;
    CSpecialButtonData workingData;  // only its three application fields are used
    ApplicationLaunch given_;
    bool silent_;

private:
    static const MessageMapEntry messageEntries[];

    void OnBrowse();
};

// The attributes of the file or folder a text names, resolved to a full path
// as the current folder would; `fullPath`, when given, gets that path. Fails
// for a text or full path of MAX_PATH characters or more, for wildcards and
// for what does not exist.
bool QueryFileAttributes(const CString& path, DWORD& attributes, CString* fullPath = nullptr);
