#pragma once

#include <QString>

// Asks the print server whether it answers at all, before anything of Qt's or the print system's
// talks to it: the printer list and the default printer come from the server without a time limit,
// so a server that takes connections and never replies would hold the program for minutes.
class PrintServerProbe {
public:
    // Where the print system looks for its server: a local socket, or a host and a port.
    struct Server {
        QString socketPath;
        QString host;
        quint16 port = 631;
    };

    enum class Result {
        Answered, // the server replied: go on
        NoServer, // nothing listens: the print system finds that out at once too
        Silent, // it took the connection and said nothing in time
    };

    // The server as the print system finds it: $CUPS_SERVER (a path is a local socket, else
    // host[:port]), else ServerName in ~/.cups/client.conf, then /etc/cups/client.conf, else the
    // scheduler's local socket when there is one, else localhost:631.
    static Server locate();

    // Sends `server` a small HTTP request and waits up to `timeoutMs` for any reply, in short waits
    // with the windows painting in between (user input waits until the probe is done).
    static Result probe(const Server& server, int timeoutMs);
};
