// automation.h - the IDispatch half of the provider's dual interfaces,
// answered through the platform's registered shell automation type
// library. Where the library is not registered, the members answer its
// loading error.
#pragma once

#include <oaidl.h>

// The vtable description of the dual interface iid.
HRESULT ShellTypeInfo(REFIID iid, ITypeInfo **out);
HRESULT ShellGetIDsOfNames(REFIID iid, LPOLESTR *names, UINT count, DISPID *ids);
// object: the interface pointer of iid on the object called.
HRESULT ShellInvoke(REFIID iid, void *object, DISPID id, WORD flags, DISPPARAMS *params, VARIANT *result,
                    EXCEPINFO *excepInfo, UINT *argErr);
