// Stands in for the finder's window in the installer test until the Windows build has the finder:
// a program of the same name that the installer can place, link from the Start menu and remove.
int main() {
    return 0;
}
