#pragma once

class CTbmOptions;

// tbm extract FILE --to DIR: every entry under its stored path below DIR. The
// archive never writes outside DIR (".." and roots are dropped, links inside DIR are
// not followed). An entry that fails is reported and the others still come out.
class CTbmExtractCommand
{
public:
    static int Run(const CTbmOptions& options);
};
