// The system's IPv4 socket address types and byte-order helpers (sockaddr_in, htons, INADDR_ANY...),
// from whichever header the platform keeps them in.
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif
