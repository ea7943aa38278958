from ondrel_computer.mcp import main

if __name__ == "__main__":
    main()
