#pragma once
// What a device command returns when it has ended.

#include <QString>
#include <QtGlobal>

struct CommandDetails
{
    qint32 FieldCount = 0;
    QString FieldText; // printable, may span lines
};

struct CommandResult
{
    bool Success = false;
    QString ErrorText;
    CommandDetails Details;
};
