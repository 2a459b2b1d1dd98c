// A program that does nothing, built like tolvex: what starting a process
// costs, against which tolvex's start-up is measured.
int main()
{
    return 0;
}
