// Message-map entries with right and wrong handler signatures. The build
// compiles it as it stands; the tests compile it once per WRONG_* switch and
// expect the compiler to refuse the entry for its signature.
#include "MessageMap.h"

class CSignatureProbe : public CWnd
{
public:
    static const MessageMapEntry entries[];

private:
    void Plain() {}
    void WithId(UINT) {}
    void NotifyHandler(NMHDR*, LRESULT*) {}
    HBRUSH Colour(HDC, CWnd*, UINT) { return nullptr; }
    LRESULT Message(WPARAM, LPARAM) { return 0; }
    void NoexceptPlain() noexcept {}
    void WrongMessage(WPARAM, LPARAM) {}
    int WrongPlain() { return 0; }
    void WrongColour(HDC, HWND, UINT) {}
};

static const UINT registeredProbe = 0;

const MessageMapEntry CSignatureProbe::entries[] = {
#if defined(WRONG_COMMAND)
    MapCommand<&CSignatureProbe::WithId>(BN_CLICKED, 1),
#elif defined(WRONG_RANGE)
    MapCommandRange<&CSignatureProbe::Plain>(BN_CLICKED, 1, 2),
#elif defined(WRONG_PAINT)
    MapPaint<&CSignatureProbe::WrongPlain>(),
#elif defined(WRONG_CTLCOLOR)
    MapCtlColor<&CSignatureProbe::WrongColour>(),
#elif defined(WRONG_MESSAGE)
    MapMessage<&CSignatureProbe::WrongMessage>(WM_APP),
#else
    MapCommand<&CSignatureProbe::Plain>(BN_CLICKED, 1),
    MapCommand<&CSignatureProbe::NoexceptPlain>(BN_CLICKED, 2),
    MapCommandRange<&CSignatureProbe::WithId>(BN_CLICKED, 3, 4),
    MapNotify<&CSignatureProbe::NotifyHandler>(0xFFFFFFFEu, 5),
    MapPaint<&CSignatureProbe::Plain>(),
    MapCtlColor<&CSignatureProbe::Colour>(),
    MapMessage<&CSignatureProbe::Message>(WM_APP),
    MapRegisteredMessage<&CSignatureProbe::Message>(&registeredProbe),
    MapDefault(WM_NCPAINT),
#endif
};
